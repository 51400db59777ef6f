#pragma once
// Fonts and pictures of the window.

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QString>

#include <string>

namespace uhf {

// A font of the requested face and size; when that face is not installed (or cannot show
// Chinese), an installed face that covers Chinese takes its place so no caption shows boxes.
QFont MakeDialogFont(const std::string& face, int points);

// A PNG picture of the embedded resources (":/uhf/" + name).
QPixmap EmbeddedPicture(const QString& name);

// The application icon from the embedded resources, in its sizes up to `largest` pixels.
QIcon ApplicationIcon(int largest = 256);

}  // namespace uhf
