// Whether Windows starts the program at every log-on: the value "Tallyleaf"
// under HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run.
// Failures of the registry are not reported.
#pragma once

namespace RunAtStartup {

// Whether the value is there as text, whatever path it holds.
bool IsSet();
// Sets the value to this program file's path, in double quotes.
void Set();
// Deletes the value.
void Clear();

}  // namespace RunAtStartup
