#pragma once
class DvdApplication;
struct ListFilter;

// The views the rental list opens with a key of its own. Each returns the
// key that ended it.

// 'd': the lendings with their dates, oldest first, the overdue ones in light red.
int runDatedRentalView(DvdApplication& application, ListFilter& filter);
// 'j': "Verleih - Journal", every event of the journal, newest first.
int runJournalView(DvdApplication& application);

// The keys of the rental list that open them.
constexpr char DATED_VIEW_KEY = 'd';
constexpr char JOURNAL_VIEW_KEY = 'j';
constexpr char RENTAL_VIEW_KEYS[] = {DATED_VIEW_KEY, JOURNAL_VIEW_KEY, '\0'};
