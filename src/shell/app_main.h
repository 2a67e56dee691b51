#pragma once

class QApplication;

/// Parses the command line, prepares the data directory, builds the main window and runs the program.
int runSoranote(QApplication& app);
