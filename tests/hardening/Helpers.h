// Helper runs of the hardening program, started by the tests as a second process:
//   --helper-turns INI PREFIX ROUNDS MY_EVENT OTHER_EVENT
//       saves, recalls and deletes settings named PREFIX-<n>, one step per turn, taking turns
//       with the test through two named events; exit 0 when every recall gave what was saved
//   --helper-race INI PREFIX ROUNDS START_EVENT
//       saves ROUNDS settings named PREFIX-<n> as fast as it can once START_EVENT is set
//   --helper-hold FILE READY_EVENT RELEASE_EVENT
//       holds FILE open without sharing until RELEASE_EVENT is set
//   --helper-lock READY_EVENT RELEASE_EVENT
//       takes the settings lock, as a command does, and keeps it until RELEASE_EVENT is set
//   --helper-beside-exe RESULT_FILE
//       saves a setting into the settings file beside this program, as the program does, and
//       writes what happened into RESULT_FILE
#pragma once

#include <string>

#include "HardeningSupport.h"

namespace pelmora::hardening {

int RunHelper(int argc, char** argv);

// The geometry that the turn-taking runs save under the n-th name of a prefix.
CheckerGeometry TurnGeometry(int round, char prefix);

// One turn of a program taking turns with another: saves PREFIX-<round>, recalls the setting of
// the turn before, deletes the one before that. The number of checks that failed.
int TakeTurn(Program& program, const std::string& prefix, int round);

}  // namespace pelmora::hardening
