// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// What the C++20 library of the browser build's toolchain lacks and the shared
// sources use: std::bit_cast and std::make_unique_for_overwrite. Included
// ahead of every source of that build; a no-op where the library has them.
#pragma once

#include <memory>
#include <type_traits>
#include <version>

#if !defined(__cpp_lib_bit_cast)
namespace std {
template <class To, class From>
    requires(sizeof(To) == sizeof(From) && is_trivially_copyable_v<To> &&
             is_trivially_copyable_v<From>)
constexpr To bit_cast(const From& from) noexcept {
    return __builtin_bit_cast(To, from);
}
}  // namespace std
#endif

#if !defined(__cpp_lib_smart_ptr_for_overwrite)
namespace std {
template <class T>
    requires is_unbounded_array_v<T>
unique_ptr<T> make_unique_for_overwrite(size_t n) {
    return unique_ptr<T>(new remove_extent_t<T>[n]);
}
template <class T>
    requires(!is_array_v<T>)
unique_ptr<T> make_unique_for_overwrite() {
    return unique_ptr<T>(new T);
}
}  // namespace std
#endif
