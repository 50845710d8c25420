// Helper runs of the hardening program, started by the tests as a second process:
//   --helper-turns INI PREFIX ROUNDS MY_EVENT OTHER_EVENT
//       saves, recalls and deletes settings named PREFIX-<n>, one step per turn, taking turns
//       with the test through two named events; exit 0 when every recall gave what was saved
//   --helper-overlap INI PREFIX ROUNDS GO_EVENT DONE_EVENT WINDOW_TITLE
//       makes a hidden window titled WINDOW_TITLE and sets DONE_EVENT; then, ROUNDS times, waits
//       for GO_EVENT, saves PREFIX-<n> and sets DONE_EVENT. The window answers only while a
//       command waits for the settings lock: the only time this run handles messages.
//   --helper-hold FILE READY_EVENT RELEASE_EVENT
//       holds FILE open without sharing until RELEASE_EVENT is set
//   --helper-lock READY_EVENT RELEASE_EVENT
//       takes the settings lock, as a command does, and keeps it until RELEASE_EVENT is set
//   --helper-beside-exe RESULT_FILE
//       saves a setting into the settings file beside this program, as the program does, and
//       writes what happened into RESULT_FILE
//   --helper-command INI save|delete NAME
//       one Save or Delete of NAME in INI; the exit code says how it ended (see Helpers.cpp)
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
