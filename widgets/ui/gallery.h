#pragma once

class QImage;
class QString;

// A picture of every gradient widget in each of its states (default, hover, pressed, disabled,
// focused, checked), side by side, so the look can be judged at a glance.
[[nodiscard]] QImage renderWidgetGallery();

// Writes the gallery picture to a PNG file; returns 0 on success (a command's exit code).
int runWidgetGallery(const QString &outputPath);
