#pragma once
#include <string>

// A large data file made at test time from a few lines kept beside a case
// (NAME.recipe makes NAME; the format is in tests/scenarios/README.md), so
// thousands of records need not be committed.
namespace recipe {

// The bytes the recipe text makes; std::runtime_error names `where` and the
// line of a fault.
std::string make(const std::string& text, const std::string& where);

}  // namespace recipe
