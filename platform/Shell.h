#pragma once

#include <string>

// The shell's "open" verb. Whatever is started here runs detached: in a session of its own, not a
// child of the installer, so it outlives the installer and never lingers as a zombie.
namespace Platform {

// Hands a URL or document to the desktop's handler (xdg-open found on PATH). Failures are silent, as
// there is nothing the caller could do about them.
void OpenDocument(const std::wstring& urlOrPath);

// Starts `program` without arguments, standard streams on /dev/null, in `workingDirectory`, or in the
// program's own folder when that is empty. False when it could not be started (missing, not
// runnable, working directory unusable).
bool StartProgram(const std::wstring& program, const std::wstring& workingDirectory);

} // namespace Platform
