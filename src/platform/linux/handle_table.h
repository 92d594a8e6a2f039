// A table of objects reached through opaque handle values.
//
// A handle is not an address: it encodes a slot index, the slot's generation
// and a tag naming the kind of object. A freed slot gets a new generation, so
// a stale handle whose slot was reused is refused, and a handle of one kind
// (or a pointer, or any other number) is refused by a table of another kind.
// On 64-bit builds the top bits carry a marker that no user-space address has.
//
// Not thread-safe: the owner guards each table with its own lock.
#pragma once

#include <cstdint>
#include <vector>

namespace tarvex::platform {

enum class HandleKind : std::uintptr_t {
    GlobalMemory = 0x5,
    File = 0x9,
    DeviceInfoSet = 0xD,
};

template <typename Value>
class HandleTable {
public:
    explicit HandleTable(HandleKind kind) : kind_(kind) {}

    // Stores `value` and returns its handle, or 0 when every slot is taken.
    std::uintptr_t insert(Value value) {
        std::uint32_t index;
        if (!freeSlots_.empty()) {
            index = freeSlots_.back();
            freeSlots_.pop_back();
        } else if (slots_.size() < kMaxSlots) {
            index = static_cast<std::uint32_t>(slots_.size());
            slots_.push_back(Slot{});
        } else {
            return 0;
        }
        Slot& slot = slots_[index];
        slot.value = value;
        slot.used = true;
        ++live_;
        return encode(index, slot.generation);
    }

    // The value behind a live handle, or nullptr.
    Value* find(std::uintptr_t handle) {
        Slot* slot = slotOf(handle);
        return slot != nullptr ? &slot->value : nullptr;
    }

    // Frees a live handle's slot and hands back its value; false for anything else.
    bool erase(std::uintptr_t handle, Value& value) {
        Slot* slot = slotOf(handle);
        if (slot == nullptr) return false;
        value = slot->value;
        slot->value = Value{};
        slot->used = false;
        slot->generation = nextGeneration(slot->generation);
        --live_;
        freeSlots_.push_back(static_cast<std::uint32_t>(slot - slots_.data()));
        return true;
    }

    std::uint32_t live() const { return live_; }

    template <typename Visit>
    void forEach(Visit visit) const {
        for (const Slot& slot : slots_)
            if (slot.used) visit(slot.value);
    }

private:
    struct Slot {
        Value value{};
        std::uint32_t generation = 1;
        bool used = false;
    };

#if UINTPTR_MAX > 0xFFFFFFFFu
    static constexpr unsigned kIndexBits = 20;
    static constexpr unsigned kGenerationBits = 24;
    static constexpr std::uintptr_t kMarker = std::uintptr_t{0x7A5E} << 48;
#else
    static constexpr unsigned kIndexBits = 16;
    static constexpr unsigned kGenerationBits = 12;
    static constexpr std::uintptr_t kMarker = 0;
#endif
    static constexpr unsigned kTagBits = 4;
    static constexpr std::uint32_t kMaxSlots = std::uint32_t{1} << kIndexBits;
    static constexpr std::uint32_t kGenerationMask = (std::uint32_t{1} << kGenerationBits) - 1;

    static std::uint32_t nextGeneration(std::uint32_t generation) {
        std::uint32_t next = (generation + 1) & kGenerationMask;
        return next == 0 ? 1 : next;
    }

    std::uintptr_t encode(std::uint32_t index, std::uint32_t generation) const {
        return kMarker | (std::uintptr_t{generation} << (kTagBits + kIndexBits)) |
               (std::uintptr_t{index} << kTagBits) | static_cast<std::uintptr_t>(kind_);
    }

    Slot* slotOf(std::uintptr_t handle) {
        std::uintptr_t tagMask = (std::uintptr_t{1} << kTagBits) - 1;
        std::uintptr_t markerMask = kMarker == 0 ? 0 : ~((std::uintptr_t{1} << 48) - 1);
        if ((handle & tagMask) != static_cast<std::uintptr_t>(kind_)) return nullptr;
        if ((handle & markerMask) != kMarker) return nullptr;
        std::uint32_t index = static_cast<std::uint32_t>((handle >> kTagBits) & (kMaxSlots - 1));
        std::uint32_t generation =
            static_cast<std::uint32_t>((handle >> (kTagBits + kIndexBits)) & kGenerationMask);
        if (index >= slots_.size()) return nullptr;
        Slot& slot = slots_[index];
        if (!slot.used || slot.generation != generation) return nullptr;
        return &slot;
    }

    HandleKind kind_;
    std::vector<Slot> slots_;
    std::vector<std::uint32_t> freeSlots_;
    std::uint32_t live_ = 0;
};

}  // namespace tarvex::platform
