// The entry of every test program. Under Wine, scripts/wine-run.sh names a file in ORBI_STARTED_MARKER: made first
// thing here, it tells a program that started and failed from one Wine never started (which the script starts again).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (const char* marker = std::getenv("ORBI_STARTED_MARKER"))
        if (std::FILE* f = std::fopen(marker, "w"))
            std::fclose(f);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
