#pragma once
// Text between the surface's UTF-8 strings and Qt: conversion, line breaks, character counts.

#include <QString>

#include <string>
#include <string_view>

class QLabel;

namespace uhf {

QString ToQ(std::string_view text);
std::string FromQ(const QString& text);

// Captions use "\r\n" for a line break; Qt wants "\n".
QString ToDisplay(std::string_view text);

// Characters (code points) in `text`: a surrogate pair counts once.
int CodePoints(const QString& text);

// UTF-16 index of the character at `characters` (code points) into the text, clamped.
int Utf16Index(const QString& text, int characters);

// Shows a static control's text. Lines that would not fit the control's height in the font's
// natural line spacing (a fallback face is often taller than the face asked for) are drawn
// closer together, so no line of a multi-line caption is cut off.
void ShowStaticText(QLabel* label, const QString& text);

}  // namespace uhf
