#include "engine/SimulatorGuard.h"

#include "app/Text.h"

namespace orvanta {

bool IsProcessRunning(Processes& processes, const std::string& imageName) {
    for (const std::string& name : processes.ProcessImageNames()) {
        if (name == imageName) return true;
    }
    return false;
}

SimulatorActivity IsSimulatorRunning(Processes& processes, SimVersion selectedSim, const std::string& operationName) {
    bool running = false;
    if (selectedSim == 1 || selectedSim == 2) {
        running = processes.AnyTopLevelWindowExists({kFsxWindowClasses[0], kFsxWindowClasses[1]});
    } else {
        running = IsProcessRunning(processes, kPrepar3DProcessName);
    }

    SimulatorActivity activity;
    activity.running = running;
    activity.labelCaption = running ? "Active" : "Inactive";
    activity.labelColour = running ? kActiveColour : kInactiveColour;
    if (running && !operationName.empty()) {
        activity.message = operationName + " cannot be performed while the simulator is running" + kCrLf +
                           "Close the simulator and retry";
    }
    return activity;
}

}  // namespace orvanta
