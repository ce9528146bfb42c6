#pragma once

namespace brenvik {

// Runs once, after the main window and its controls exist and before it is
// first shown: creates the HTTP request object into httpRequest, as
// "MSXML2.XMLHTTP" or else "Microsoft.XMLHTTP". When neither can be created it
// shows "系统不支持操作" and leaves httpRequest empty; the program goes on.
void OnWindowCreated();

// The program's exit routine: releases the HTTP request object, if any, and
// frees its holder. Running it again does nothing.
void ReleaseGlobals();

}  // namespace brenvik
