#pragma once

#include "vwt/lang/String.h"

// The canvas's per-session values that the service's answers set and the
// next requests read: session id, notice and challenge state, the pending
// state and the typed credentials.
struct SessionValues {
  String sessionId;
  // Set once a notice of the service has been shown in this run.
  bool noticeShown = false;
  bool notice21000 = false;
  // The service gave a user id other than the stored one.
  bool idChanged = false;
  // Authentication challenges answered for the current realm, 0-2.
  int challengeCounter = 0;
  String challengeRealm;
  String challengeScheme;
  // What the user typed in the last credential dialog.
  String typedUser;
  String typedPassword;
  // "VER_UP" after a version notice: the canvas starts the update.
  String pendingState;
};
