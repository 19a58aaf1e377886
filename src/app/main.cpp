#include "app/DvdApplication.h"
#include "console/Platform.h"

int main() {
    if (!platform::standardStreamsOpen()) return 1;
    DvdApplication application;
    application.setTitle("DVD Verwaltung");
    application.setWindowSize(79, 48);
    application.runMainMenu();
    return 0;
}
