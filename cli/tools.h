// The command lines of the tools: each takes main()'s arguments and returns
// the exit status. Every tool reads its arguments before it starts the
// database; messages go to standard error, results to standard output.
#pragma once

namespace corvane::cli {

// hitjoin FILE1 FILE2 -and|-or|-remove|-not
int hitjoin(int argc, char** argv);
// hitmake OUTFILE ENTRY...
int hitmake(int argc, char** argv);
// hitfind [-all] [-fields LIST] [-in SUBFILE] [-d D[:TOL]]... [-strong] [element options]
//         OUTFILE [STRING...]
int hitfind(int argc, char** argv);
// hitlist [-format text|tsv|csv|json] SUBFILE
int hitlist(int argc, char** argv);
// hitmatch [options] PEAKS [OUTFILE]
int hitmatch(int argc, char** argv);
// hitplot [options] -o FILE.svg ENTRY...
int hitplot(int argc, char** argv);
// krxbuild [-t TABLEDIR] CARDFILE OUTDIR
int krxbuild(int argc, char** argv);
// hitcard ENTRY [CODE [OUTFILE]] | hitcard -raw ENTRY
int hitcard(int argc, char** argv);

}  // namespace corvane::cli
