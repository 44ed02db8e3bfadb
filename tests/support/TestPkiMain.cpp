// tamsel_test_pki DIR: writes the standard test PKI into DIR (which must exist).
#include <cstdio>
#include <exception>

#include "tests/support/TestPki.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tamsel_test_pki DIR\n");
        return 2;
    }
    try {
        tamsel::test::writeStandardPki(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
