// The program's run from start to exit on a given platform: the toolkit's
// German texts, the working folder, the windows in their order, and the
// message loop until the main window closes.
#pragma once

class Platform;
class QApplication;

int RunProgram(QApplication &app, Platform &platform);
