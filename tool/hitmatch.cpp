#include "cli/tools.h"

int main(int argc, char** argv) {
    return corvane::cli::hitmatch(argc, argv);
}
