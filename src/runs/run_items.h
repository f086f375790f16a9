#pragma once
#include <cstdint>

namespace ordinex {

// The files one download run walks: the combinations of the numbered series
// or the selected rows of a list window.
class IRunItems {
public:
    virtual ~IRunItems() = default;
    // Number of items, shown as "done / total Files".
    virtual int64_t Total() const = 0;
    // Composes item `index` (counted from 0) into the engine's sourceUrl and
    // destinationPath; a failed check clears the app's targetValid and sets targetError.
    virtual void Compose(int64_t index) = 0;
    // Called after each processed item; true when it was the last one.
    virtual bool Advance() = 0;
};

} // namespace ordinex
