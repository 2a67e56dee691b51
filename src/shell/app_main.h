#pragma once

class QApplication;
class QCoreApplication;

/// True when the command line only asks for the help text, which needs no display.
bool asksOnlyForHelp(int argc, char* argv[]);
/// Prints the help text of the command line and ends.
int printHelp(QCoreApplication& app);

/// Parses the command line, prepares the data directory, builds the main window and runs the program.
int runSoranote(QApplication& app);
