#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wexon::link {

// One XML-RPC value: a scalar, an array or a struct. Texts are the UTF-8 bytes
// of the wire (after the XML's own escapes are undone); a base64 value holds
// the decoded bytes.
struct XmlRpcValue {
    enum class Kind { Nil, String, Int, Double, Boolean, Base64, DateTime, Array, Struct };

    Kind kind = Kind::Nil;
    std::string text;         // String, Base64 (decoded), DateTime
    std::int64_t integer = 0; // Int; Boolean as 0 or 1
    double real = 0.0;        // Double
    // Array: the elements. Struct: the members' values, named by memberNames.
    std::vector<XmlRpcValue> items;
    std::vector<std::string> memberNames;

    static XmlRpcValue string(std::string_view utf8);
    static XmlRpcValue int32(std::int32_t value);
    static XmlRpcValue number(double value);
    static XmlRpcValue boolean(bool value);
    static XmlRpcValue bytes(std::string_view raw);

    // The member of that name (the first, when a struct repeats a name), or
    // nullptr for a missing member or a value that is not a struct.
    const XmlRpcValue* member(std::string_view name) const;
    // The text of a String or the bytes of a Base64 value; empty otherwise.
    std::string textOrBytes() const;
    bool isText() const { return kind == Kind::String || kind == Kind::Base64; }
};

} // namespace wexon::link
