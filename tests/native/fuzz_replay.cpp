// The parsers' fuzz target run without libFuzzer, for builds that have none (the 32-bit one):
//   fuzz_replay [FILE...]
// Each FILE is one input (a crash libFuzzer saved, say). Without files, a fixed set: every
// selector byte with texts of the parsers' own characters drawn from a seeded generator, and
// the texts at the edges of the number range; and for the source timecode reader a QuickTime file
// of a timecode track with each of its bytes changed in turn. Any failed check aborts, as under
// libFuzzer.
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "tests/support/quicktime_timecode.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

void Run(uint8_t selector, const std::string &text)
{
    std::string input(1, (char)selector);
    input += text;
    LLVMFuzzerTestOneInput((const uint8_t *)input.data(), input.size());
}

uint32_t Next(uint32_t &state)  // xorshift32: the same inputs on every machine
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

enum { CONTAINER_SELECTOR = 7 };

long ReplayDamagedTimecodeFiles()
{
    std::vector<TimecodeSample> samples = {{90000, 2002}, {0, 1001}, {1800, 30030}};
    std::string file = TimecodeOnlyFile(1, 30000, 1001, 30, samples);
    long count = 0;
    for (size_t at = 0; at < file.size(); ++at) {
        for (int value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
            std::string damaged = file;
            damaged[at] = (char)value;
            Run(CONTAINER_SELECTOR, damaged);
            Run(CONTAINER_SELECTOR, damaged.substr(0, at));
            count += 2;
        }
    }
    return count;
}

long ReplayFixedSet()
{
    static const char *const edges[] = {
        "", "0", "-0", "+", "-", ":", ";", "00:00:00:00", "23:59:59:29", "23:59:59:59",
        "24:00:00:00", "-00:00:00:01", "99:99:99:99", "-99:99:99:99", "00:00:00;00",
        "2147483647", "-2147483648", "4294967296", "99999999999999999999", "1:2:3:4",
        "01:02:03:04:05", "12345678", "-12345678", "  7", "\t-1", "29.97", "1e9", "0x10",
    };
    static const char alphabet[] = "0123456789:;.,+- \tx";
    long count = 0;
    uint32_t state = 0x5A4B5950;
    for (int selector = 0; selector < 256; ++selector) {
        for (const char *edge : edges) {
            Run((uint8_t)selector, edge);
            ++count;
        }
        for (int i = 0; i < 200; ++i) {
            std::string text(Next(state) % 25, ' ');
            bool anyByte = i % 8 == 0;
            for (char &c : text) {
                uint32_t r = Next(state);
                c = anyByte ? (char)(r & 0xFF) : alphabet[r % (sizeof alphabet - 1)];
            }
            Run((uint8_t)selector, text);
            ++count;
        }
    }
    return count;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc == 1) {
        printf("fuzz_replay: %ld fixed inputs passed\n",
               ReplayFixedSet() + ReplayDamagedTimecodeFiles());
        return 0;
    }
    for (int i = 1; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        if (!file) {
            fprintf(stderr, "fuzz_replay: cannot read %s\n", argv[i]);
            return 2;
        }
        std::vector<uint8_t> input((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    printf("fuzz_replay: %d inputs passed\n", argc - 1);
    return 0;
}
