#include "app/DvdApplication.h"

int main() {
    DvdApplication application;
    application.setTitle("DVD Verwaltung");
    application.setWindowSize(79, 48);
    application.runMainMenu();
    return 0;
}
