#include "support/support.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace cvtest {

RunResult run_program(const std::string& program, const Strings& args, const RunOptions& options) {
    Strings env, argv_strings{program};
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        if (options.env.count(entry.substr(0, entry.find('='))) == 0) env.push_back(entry);
    }
    for (const auto& [name, value] : options.env)
        if (value) env.push_back(name + "=" + *value);
    argv_strings.insert(argv_strings.end(), args.begin(), args.end());
    const auto pointers = [](Strings& v) {
        std::vector<char*> p;
        for (auto& s : v) p.push_back(s.data());
        return p.push_back(nullptr), p;
    };
    auto envp = pointers(env), argv = pointers(argv_strings);

    // Output comes through pipes, which a file-size limit does not cut short.
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {  // only async-signal-safe calls from here to exec
        dup2(out[1], 1);
        dup2(err[1], 2);
        for (int fd : {out[0], out[1], err[0], err[1]}) close(fd);
        const int devnull = open("/dev/null", O_RDONLY);
        if (devnull >= 0) dup2(devnull, 0);
        if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(127);
        if (options.file_size_limit >= 0) {  // writes past it fail with EFBIG
            signal(SIGXFSZ, SIG_IGN);
            const auto lim = static_cast<rlim_t>(options.file_size_limit);
            const struct rlimit both = {lim, lim};
            setrlimit(RLIMIT_FSIZE, &both);
        }
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    RunResult result;
    const auto drain = [](int fd, std::string& sink) {
        char buf[4096];
        for (ssize_t got; (got = read(fd, buf, sizeof buf)) != 0;) {
            if (got > 0) sink.append(buf, static_cast<std::size_t>(got));
            if (got < 0 && errno != EINTR) break;
        }
        close(fd);
    };
    std::thread errors(drain, err[0], std::ref(result.err));  // both pipes drain at once
    drain(out[0], result.out);
    errors.join();
    int wstatus = 0;
    while (waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) continue;
    if (WIFEXITED(wstatus)) result.status = WEXITSTATUS(wstatus);
    return result;
}

TestDb::TestDb(std::int32_t entries) {
    for (const auto& dir : {line1(), line2(), root() / "line3", work()}) fs::create_directory(dir);
    write_file(line1() / "pdsize.txt", std::to_string(entries) + " 0 0 0 0\n");
    for (const char* name : {"kelpa.ind", "name.lib", "di.lib", "ref.lib"}) put(name, "");
    write_file(location(), line1().string() + "\n" + line2().string() + "\n" +
                               (root() / "line3").string() + "\n");
}

void put_entries(TestDb& db, const std::vector<KrxEntry>& entries) {
    std::string index, names, di, refs;
    for (const auto& e : entries) {
        index += index_record(e.entid, std::int32_t(names.size()), std::int32_t(di.size()),
                              std::int32_t(refs.size()), 0);
        names += texts_record({e.names[0], e.names[1], e.names[2], e.names[3]});
        di += di_record(e.lines);
        refs += texts_record({e.ref[0], e.ref[1], e.ref[2], e.ref[3]}, e.year_code);
    }
    db.put("kelpa.ind", index);
    db.put("name.lib", names);
    db.put("di.lib", di);
    db.put("ref.lib", refs);
    db.put("krx2.dat", "");
}

RunOptions sample_database(const TempDir& dir) {
    std::ostringstream err;
    const std::string crd = std::string(CORVANE_SOURCE_DIR) + "/sample/phases.crd";
    EXPECT_EQ(corvane::builder::krxbuild(crd, dir / "db", "", err), 0) << err.str();
    return {{{"LOGIC_LOC", dir / "db/tarnloc.txt"}}, dir.bare(), -1};
}

std::vector<KrxEntry> five_entries() {
    // clang-format off
    return {
        {9101, {"Silicon Oxide", "Quartz, syn", "SiO2", "Silica"}, 76,
         {"ACBCAR", "B32", "2456", "Le Page, Y., Donnay, G."},
         {{-10000, 100}, {0, 50}, {10000, 50}, {-31415, 10}}},
        {9102, {"Calcium Carbonate", "Calcite, syn", "CaCO3", "Calcspar"}, 53,
         {"NBSCAQ", "2", "51", "Swanson, H.E., Fuyat, R.K."}, {{0, 7}}},
        {9103, {"Silicon", "", "Si", ""}, 75, {"JACGAR", "8", "457", "Hom, T., Post, B."}, {}},
        {9104, {"Titanium Oxide", "Rutile, syn", "TiO2", "Titania"}, 71,
         {"ACBCAR", "B27", "2133", "Baur, W.H., Khan, A.A."}, {{-31416, 100}, {10000, 20}}},
        {9105, {"Silicon Oxide", "Cristobalite", "SiO2", ""}, 127,
         {"AMMIAZ", "", "", "Swanson, H.E., Peiser, H.S."}, {{31416, 255}, {-31415, 1}}},
    };
    // clang-format on
}

}  // namespace cvtest
