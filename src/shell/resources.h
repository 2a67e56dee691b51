#pragma once

#include <QString>

/// Where the installed (or, in a build tree, the source) sample diary and help document are.
QString sampleDirectory();
QString helpStartPage();
/// The program's icon of `size` × `size` pixels (48, 128 or 256) as a PNG file.
QString iconFile(int size);
