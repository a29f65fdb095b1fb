// JSON text for the command-line companion.
#include "cli/Json.h"

#include <charconv>
#include <cmath>

namespace pendrake::cli {

namespace {

constexpr int FloatSignificantDigits = 9;

void AppendEscaped(std::string& out, const std::string& s)
{
    out += '"';
    for (unsigned char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                static const char hex[] = "0123456789abcdef";
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 15];
            } else {
                out += char(c); // UTF-8 passes through
            }
        }
    }
    out += '"';
}

void Indent(std::string& out, int depth)
{
    out.append(size_t(depth) * 2, ' ');
}

} // namespace

std::string FormatJsonFloat(double value)
{
    if (!std::isfinite(value))
        return "null";
    char buf[40];
    const auto res = std::to_chars(
        buf, buf + sizeof buf, value, std::chars_format::general, FloatSignificantDigits);
    return std::string(buf, res.ptr);
}

Json& Json::Set(std::string key, Json value)
{
    std::get<Object>(value_).emplace_back(std::move(key), std::move(value));
    return *this;
}

Json& Json::Push(Json value)
{
    std::get<Array>(value_).push_back(std::move(value));
    return *this;
}

std::string Json::Dump() const
{
    std::string out;
    DumpTo(out, 0);
    return out;
}

void Json::DumpTo(std::string& out, int depth) const
{
    if (std::holds_alternative<std::nullptr_t>(value_)) {
        out += "null";
    } else if (const bool* b = std::get_if<bool>(&value_)) {
        out += *b ? "true" : "false";
    } else if (const int64_t* i = std::get_if<int64_t>(&value_)) {
        out += std::to_string(*i);
    } else if (const Float* f = std::get_if<Float>(&value_)) {
        out += FormatJsonFloat(f->v);
    } else if (const std::string* s = std::get_if<std::string>(&value_)) {
        AppendEscaped(out, *s);
    } else if (const Array* a = std::get_if<Array>(&value_)) {
        // Arrays of plain values stay on one line; nested ones get a line per element.
        bool flat = true;
        for (const Json& e : *a)
            flat = flat && !std::holds_alternative<Array>(e.value_)
                && !std::holds_alternative<Object>(e.value_);
        out += '[';
        for (size_t k = 0; k < a->size(); ++k) {
            if (k)
                out += flat ? ", " : ",";
            if (!flat) {
                out += '\n';
                Indent(out, depth + 1);
            }
            (*a)[k].DumpTo(out, depth + 1);
        }
        if (!flat && !a->empty()) {
            out += '\n';
            Indent(out, depth);
        }
        out += ']';
    } else if (const Object* o = std::get_if<Object>(&value_)) {
        out += '{';
        for (size_t k = 0; k < o->size(); ++k) {
            out += k ? ",\n" : "\n";
            Indent(out, depth + 1);
            AppendEscaped(out, (*o)[k].first);
            out += ": ";
            (*o)[k].second.DumpTo(out, depth + 1);
        }
        if (!o->empty()) {
            out += '\n';
            Indent(out, depth);
        }
        out += '}';
    }
}

} // namespace pendrake::cli
