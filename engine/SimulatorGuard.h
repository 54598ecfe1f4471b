#pragma once

#include <cstdint>
#include <string>

#include "app/ProgramState.h"
#include "platform/Processes.h"

namespace orvanta {

inline constexpr const char* kPrepar3DProcessName = "Prepar3D.exe";
inline constexpr const char* kFsxWindowClasses[2] = {"UIPCMAIN", "FS98MAIN"};

struct LabelColour {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    bool operator==(const LabelColour& o) const { return red == o.red && green == o.green && blue == o.blue; }
};

inline constexpr LabelColour kActiveColour = {192, 0, 0};   // dark red
inline constexpr LabelColour kInactiveColour = {0, 96, 0};  // dark green

// The answer of IsSimulatorRunning, for the window (activity label, message box) and the
// command (activity line, refusal on standard error) alike.
struct SimulatorActivity {
    bool running = false;
    std::string labelCaption;  // "Active" or "Inactive"
    LabelColour labelColour = kInactiveColour;
    // Information message to show (lines separated by CR LF) when the simulator runs and an
    // operation was named; empty otherwise.
    std::string message;
};

// True when a running process has exactly this image name (case-sensitive).
bool IsProcessRunning(Processes& processes, const std::string& imageName);

// Whether the selected simulator runs: for the two FSX versions a top-level window of
// class "UIPCMAIN" or "FS98MAIN" (both are always asked), for any other version a process
// named "Prepar3D.exe". With an operation name ("Installation", "Uninstall") a running
// simulator also gives the refusal message.
SimulatorActivity IsSimulatorRunning(Processes& processes, SimVersion selectedSim, const std::string& operationName);

}  // namespace orvanta
