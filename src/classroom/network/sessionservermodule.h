#pragma once

#include "classroom/network/sessionnetworking.h"

// The session's networking, from the module nelo-session-server (or linked in; see
// ProgramModule). Throws AppError, in French, when it is missing.
const SessionNetworking &loadSessionNetworking();
