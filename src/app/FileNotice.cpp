#include "app/FileNotice.h"

std::string fileHoldsMoreText(const FileNotice& notice, std::string_view notDone) {
    const std::string ending = " DER DATEI NICHT " + std::string(notDone) + "!";
    if (notice.uncounted) return "WEITERE EINTRAEGE" + ending;
    if (notice.unshownCount == 1) return "1 WEITERER EINTRAG" + ending;
    return std::to_string(notice.unshownCount) + " WEITERE EINTRAEGE" + ending;
}
