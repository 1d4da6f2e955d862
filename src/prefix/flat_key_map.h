#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

// A map from short byte strings to numbers, for tables that are built once and then only
// read: open addressing over one array of slots, the key bytes in one block. Most probes of a
// longest-match search are for absent keys: two bits per key in a small filter, which stays in
// the processor's cache, answer most of them before the slots are read.
class FlatKeyMap {
 public:
  static constexpr std::uint32_t kAbsent = 0xFFFFFFFF;

  // Room for `count` keys of about `key_bytes` bytes each without growing.
  void Reserve(std::size_t count, std::size_t key_bytes) {
    std::size_t slots = 64;
    while (slots < count * 2) slots *= 2;
    if (slots > slots_.size()) Rehash(slots);
    bytes_.reserve(count * key_bytes);
  }

  // A key staged for insertion: its bytes stored, its slot on its way into the cache.
  struct StagedKey {
    std::uint64_t hash = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
  };

  // Keys are added in two steps: Stage each key as it comes, and insert it with InsertStaged a
  // few keys later, in the same order. The slots of a large map are spread over more memory
  // than the processor's nearest caches hold, and an insertion that waited for its slot to
  // arrive would wait for nearly every key. The bytes of a key found present stay unused.
  StagedKey Stage(std::string_view key) {
    const StagedKey staged{Hash(key), static_cast<std::uint32_t>(bytes_.size()),
                           static_cast<std::uint32_t>(key.size())};
    bytes_.append(key);
    if (!slots_.empty()) __builtin_prefetch(&slots_[staged.hash & (slots_.size() - 1)], 1);
    return staged;
  }

  // Adds the staged key unless an equal key is present; false when one was.
  bool InsertStaged(const StagedKey& key, std::uint32_t value) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    const std::string_view bytes(bytes_.data() + key.offset, key.length);
    const std::size_t at = Find(bytes, key.hash);
    if (slots_[at].value != kAbsent) return false;
    slots_[at] = Slot{static_cast<std::uint32_t>(key.hash), key.offset, key.length, value};
    filter_[FilterWord(key.hash)] |= FilterBits(key.hash);
    ++count_;
    return true;
  }

  std::uint32_t Get(std::string_view key) const { return Get(key, Hash(key)); }

  // As Get, with the key's hash already known (see HeadHashes).
  std::uint32_t Get(std::string_view key, std::uint64_t hash) const {
    if (slots_.empty()) return kAbsent;
    const std::uint64_t bits = FilterBits(hash);
    if ((filter_[FilterWord(hash)] & bits) != bits) return kAbsent;
    return slots_[Find(key, hash)].value;
  }

  // The hashes of the first 1, 2, ... `count` bytes of `text` in one pass: a longest-match
  // search probes every head of one text.
  static void HeadHashes(std::string_view text, std::size_t count, std::uint64_t* hashes) {
    std::uint64_t state = kOffsetBasis;
    for (std::size_t i = 0; i < count; ++i) {
      state = Step(state, text[i]);
      hashes[i] = Finish(state);
    }
  }

  std::size_t size() const { return count_; }

 private:
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    std::uint32_t value = kAbsent;
  };

  // FNV-1a with a final mix, so that the low bits that pick the slot depend on every byte.
  static constexpr std::uint64_t kOffsetBasis = 14695981039346656037ULL;
  static std::uint64_t Step(std::uint64_t state, char c) {
    return (state ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
  }
  static std::uint64_t Finish(std::uint64_t state) {
    state ^= state >> 32;
    state *= 0x9E3779B97F4A7C15ULL;
    return state ^ (state >> 29);
  }
  static std::uint64_t Hash(std::string_view key) {
    std::uint64_t state = kOffsetBasis;
    for (const char c : key) state = Step(state, c);
    return Finish(state);
  }

  static constexpr std::size_t kFilterBits = std::size_t{1} << 18;  // 32 KB

  // Two bits of one word for each key, from bits of the hash that do not pick the slot: with
  // one bit, a tenth of the absent keys of the default data passed the filter, each then
  // reading a slot from memory; two bits in one word let through about a third as many, for
  // the same single read of the filter.
  static std::size_t FilterWord(std::uint64_t hash) {
    return (hash >> 40) & (kFilterBits / 64 - 1);
  }
  static std::uint64_t FilterBits(std::uint64_t hash) {
    return std::uint64_t{1} << (hash >> 52 & 63) | std::uint64_t{1} << (hash >> 58 & 63);
  }

  // The slot that holds the key, or the empty slot where it would go.
  std::size_t Find(std::string_view key, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
      const Slot& slot = slots_[at];
      if (slot.value == kAbsent) return at;
      if (slot.hash == static_cast<std::uint32_t>(hash) && slot.length == key.size() &&
          std::memcmp(bytes_.data() + slot.offset, key.data(), key.size()) == 0) {
        return at;
      }
    }
  }

  void Grow() { Rehash(slots_.empty() ? 64 : slots_.size() * 2); }

  void Rehash(std::size_t slots) {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(slots, Slot{});
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
      if (slot.value == kAbsent) continue;
      std::size_t at = Hash(std::string_view(bytes_.data() + slot.offset, slot.length)) & mask;
      while (slots_[at].value != kAbsent) at = (at + 1) & mask;
      slots_[at] = slot;
    }
  }

  std::vector<Slot> slots_;
  std::vector<std::uint64_t> filter_ = std::vector<std::uint64_t>(kFilterBits / 64);
  std::string bytes_;
  std::size_t count_ = 0;
};

}  // namespace torvane
