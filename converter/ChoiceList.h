#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace relicwright {

// An ordered, grow-only list of texts with one selection or none. The window's drop-down controls
// are such lists; the workflow reaches them only through this interface. The searches are built on
// the primitives, so every implementation searches alike.
class ChoiceList {
public:
    virtual ~ChoiceList() = default;

    virtual std::size_t count() const = 0;
    virtual std::string entry(std::size_t index) const = 0;
    // The entry's text where the list keeps it as it is, else nullptr: the searches then read it in
    // place rather than copy every entry they pass, as entry() must.
    virtual const std::string* heldEntry(std::size_t) const { return nullptr; }
    virtual void append(const std::string& text) = 0;
    // An index past the end clears the selection.
    virtual void setSelection(std::optional<std::size_t> index) = 0;
    virtual std::optional<std::size_t> selectedIndex() const = 0;

    // Searches look at index 1 to the last entry, then index 0, ignoring letter case.
    std::optional<std::size_t> findExact(const std::string& text) const;
    // Selects the first entry that begins with the text; no match leaves the selection alone.
    void selectByPrefix(const std::string& text);
    // The selected entry's text, or the empty text when nothing is selected.
    std::string selectedText() const;
};

} // namespace relicwright
