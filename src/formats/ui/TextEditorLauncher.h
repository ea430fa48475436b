#pragma once
// Opens the formats file in the user's text editor (see
// formats/TextEditorLookup.h), without waiting for it and without reading
// the file again: changes take effect at the next start.
#include "formats/TextEditorLookup.h"

#include <string>

class QWidget;

// Starts the first editor that can be started, detached from this program.
// When none can, shows the failure message over `parent` (none when it is
// null) and returns false. `message`, when given, receives that message.
bool OpenInTextEditor(const std::string& file, const EditorEnvironment& env, QWidget* parent,
                      std::string* message = nullptr);
