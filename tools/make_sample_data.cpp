// Draws the sample ball library, the logo and the icons that ship in data/:
//   make_sample_data <data folder>
// Every run writes the same bytes, so the committed files can be checked against a fresh build.
#include "tools/SampleArt.h"

#include <exception>
#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_sample_data <data folder>\n";
        return 2;
    }
    try {
        orbisto::sample::writeSampleData(argv[1]);
    } catch (const std::exception& error) {
        std::cerr << "make_sample_data: " << error.what() << "\n";
        return 1;
    }
    std::cout << "Sample balls, logo and icons written to " << std::filesystem::path(argv[1]).string() << "\n";
    return 0;
}
