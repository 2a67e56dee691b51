#pragma once

#include <QString>

/// Where the installed (or, in a build tree, the source) sample diary and help document are.
QString sampleDirectory();
QString helpStartPage();
