#pragma once
#include <string>
#include <string_view>

// Texts compared as a collector reads them: letter case and accents do not
// count, and an umlaut may be written with its e ("Maerchen" for "Märchen").
namespace folding {

struct FoldedText {
    std::string base;    // lower case, accented letters as their base letter (æ as ae, ß as ss)
    std::string german;  // the same, but ä, ö, ü as ae, oe, ue
};

// Code page 850 text in both forms.
FoldedText fold(std::string_view cp850Text);

// Whether either form of what was typed occurs in either form of the value.
bool occursIn(const FoldedText& typed, const FoldedText& value);

// Whether either form of the code page 850 value begins with either form of
// what was typed; folds no more of the value than that takes.
bool beginsWith(const FoldedText& typed, std::string_view cp850Value);

}  // namespace folding
