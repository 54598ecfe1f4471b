#pragma once

#include "platform/AccessControl.h"
#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "platform/FileVersions.h"
#include "platform/Processes.h"
#include "platform/Registry.h"
#include "platform/Settings.h"
#include "platform/Shell.h"

namespace orvanta {

// The machine as the core sees it: one reference per interface, owned elsewhere.
struct Platform {
    FileSystem& fs;
    Environment& env;
    RegionalFormat& regional;
    Registry& registry;
    FileVersions& versions;
    Processes& processes;
    Settings& settings;
    Shell& shell;
    AccessControl& access;
};

}  // namespace orvanta
