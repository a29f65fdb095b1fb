// A small JSON value for the command-line companion: objects keep their keys in insertion order
// so that output follows the record's field order, and floats print with 9 significant digits.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace pendrake::cli {

class Json {
public:
    using Array = std::vector<Json>;
    using Object = std::vector<std::pair<std::string, Json>>;

    Json()
        : value_(nullptr)
    {
    }
    Json(std::nullptr_t)
        : value_(nullptr)
    {
    }
    Json(bool b)
        : value_(b)
    {
    }
    Json(int i)
        : value_(int64_t(i))
    {
    }
    Json(int16_t i)
        : value_(int64_t(i))
    {
    }
    Json(int64_t i)
        : value_(i)
    {
    }
    Json(float f)
        : value_(Float { double(f) })
    {
    }
    Json(double d)
        : value_(Float { d })
    {
    }
    Json(const char* s)
        : value_(std::string(s))
    {
    }
    Json(std::string s)
        : value_(std::move(s))
    {
    }
    Json(Array a)
        : value_(std::move(a))
    {
    }
    Json(Object o)
        : value_(std::move(o))
    {
    }

    static Json MakeObject() { return Json(Object {}); }
    static Json MakeArray() { return Json(Array {}); }

    // Appends key: value to an object.
    Json& Set(std::string key, Json value);
    // Appends an element to an array.
    Json& Push(Json value);

    // Elements first..last (inclusive) of a table, in index order.
    template <typename T, size_t N>
    static Json Range(const std::array<T, N>& table, size_t first, size_t last)
    {
        Array a;
        for (size_t i = first; i <= last && i < N; ++i)
            a.emplace_back(table[i]);
        return Json(std::move(a));
    }

    // The text, indented by two blanks per level, ending without a newline.
    std::string Dump() const;

private:
    struct Float {
        double v;
    };
    void DumpTo(std::string& out, int depth) const;
    std::variant<std::nullptr_t, bool, int64_t, Float, std::string, Array, Object> value_;
};

// A float with 9 significant digits, the shortest text that brings a single-precision value back
// unchanged; "null" for a value that is not a number.
std::string FormatJsonFloat(double value);

} // namespace pendrake::cli
