#include "app/CommandLine.h"
#include "app/DvdApplication.h"
#include "platform/Platform.h"

int main(int argc, char** argv) {
    if (const auto exitStatus = command_line::handle(argc, argv)) return *exitStatus;
    if (!platform::standardStreamsOpen() || !platform::canShowScreens()) return 1;
    DvdApplication application;
    application.setTitle("DVD Verwaltung");
    application.setWindowSize(79, 48);
    application.runMainMenu();
    return 0;
}
