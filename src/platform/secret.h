#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

// A string for a password: every buffer it gives back to the heap is wiped
// first, and its own storage is wiped when it dies, so no copy of the
// password outlives its use.
namespace torvane::platform {

// Overwrites a buffer in a way the optimiser may not drop: the empty asm
// claims to read the memory, so the zeros must be there.
inline void SecureWipe(void* data, std::size_t size) noexcept {
#if defined(__GNUC__) || defined(__clang__)
  std::memset(data, 0, size);
  __asm__ __volatile__("" : : "r"(data) : "memory");
#else
  auto* p = static_cast<volatile unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) p[i] = 0;
#endif
}

// Base is the allocator underneath; tests put one there that checks what it
// is given back.
template <typename T, typename Base = std::allocator<T>>
struct WipingAllocator : Base {
  using value_type = T;
  template <typename U>
  struct rebind {
    using other =
        WipingAllocator<U, typename std::allocator_traits<Base>::template rebind_alloc<U>>;
  };
  WipingAllocator() = default;
  template <typename U, typename B>
  WipingAllocator(const WipingAllocator<U, B>& other) noexcept : Base(other) {}

  T* allocate(std::size_t n) { return std::allocator_traits<Base>::allocate(*this, n); }
  void deallocate(T* p, std::size_t n) noexcept {
    SecureWipe(p, n * sizeof(T));
    std::allocator_traits<Base>::deallocate(*this, p, n);
  }
};

template <typename Char, typename Base = std::allocator<Char>>
class Secret {
 public:
  using String = std::basic_string<Char, std::char_traits<Char>, WipingAllocator<Char, Base>>;

  Secret() = default;
  explicit Secret(std::basic_string_view<Char> text) : s_(text) {}
  Secret(Secret&& other) noexcept = default;
  Secret& operator=(Secret&&) = delete;
  Secret(const Secret&) = delete;
  Secret& operator=(const Secret&) = delete;
  ~Secret() {
    // The whole capacity: a longer earlier content, or a short one kept in
    // the object itself, may sit past size().
    s_.resize(s_.capacity());
    SecureWipe(s_.data(), s_.size() * sizeof(Char));
  }

  String& str() noexcept { return s_; }
  std::basic_string_view<Char> view() const noexcept { return s_; }
  bool empty() const noexcept { return s_.empty(); }
  std::size_t size() const noexcept { return s_.size(); }

 private:
  String s_;
};

using SecretBytes = Secret<char>;     // a password as Windows-1252 codes
using SecretText = Secret<char16_t>;  // a password as a text box shows it

}  // namespace torvane::platform
