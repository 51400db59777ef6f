#pragma once
// Fonts and pictures of the window.

#include <QFont>
#include <QIcon>

#include <string>

namespace uhf {

// A font of the requested face and size; when that face is not installed (or cannot show
// Chinese), an installed face that covers Chinese takes its place so no caption shows boxes.
QFont MakeDialogFont(const std::string& face, int points);

// The application icon from the embedded resources (several sizes).
QIcon ApplicationIcon();

}  // namespace uhf
