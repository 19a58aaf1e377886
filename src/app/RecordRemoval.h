#pragma once
#include "app/DialogSupport.h"
#include "storage/StoreFile.h"

// The store's side of the delete and return dialogs, for either store.
namespace record_removal {

// What the store's last search (which gave `record`) found.
template <typename Store>
dialog::TitleSearch searchResult(const Store& store, int record) {
    return {.record = record, .fileLocked = store.wasLocked(), .fileNotWhollyRead = store.searchStoppedAtBound()};
}

// A file changed meanwhile empties the store: the next search reads it afresh.
template <typename Store>
storage::SaveResult removeAndSave(Store& store, int record) {
    store.removeRecord(record);
    const storage::SaveResult saved = store.saveAll();
    if (saved == storage::SaveResult::ChangedMeanwhile) store.clear();
    return saved;
}

}  // namespace record_removal
