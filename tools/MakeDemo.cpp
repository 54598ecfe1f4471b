// Writes a demo package and a demo simulator folder for trying the installer out:
//   orvanta-make-demo PACKAGE_DIR SIM_DIR [APX ATX NVX]
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "tools/DemoFixture.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 6) {
        std::cerr << "usage: orvanta-make-demo PACKAGE_DIR SIM_DIR [APX ATX NVX]\n";
        return 2;
    }
    orvanta::tools::DemoSpec spec;
    if (argc == 6) {
        spec.apx = std::atoi(argv[3]);
        spec.atx = std::atoi(argv[4]);
        spec.nvx = std::atoi(argv[5]);
        if (spec.apx < 0 || spec.apx > 1000 || spec.atx < 0 || spec.atx > 100 || spec.nvx < 0 || spec.nvx > 100) {
            std::cerr << "orvanta-make-demo: counts must lie within 0-1000, 0-100, 0-100\n";
            return 2;
        }
    }
    try {
        orvanta::tools::WriteDemoPackage(argv[1], spec);
        const auto s = orvanta::tools::WriteDemoSimulator(argv[1], argv[2], spec);
        std::cout << "Demo package: " << argv[1] << " (" << spec.apx << " APX, " << spec.atx << " ATX, " << spec.nvx
                  << " NVX files)\n"
                  << "Demo simulator: " << argv[2] << " (" << s.upToDate << " up to date, " << s.updatable << " older, "
                  << s.missing << " absent)\n";
    } catch (const std::exception& e) {
        std::cerr << "orvanta-make-demo: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
