#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/xmlrpc_value.h"

namespace wexon::link {

// The XML-RPC wire format: building a methodCall and reading a methodResponse.
// No I/O; the HTTP client in the platform layer moves the bytes.
//
// The reader takes what a server answers as hostile: it reads a bounded body,
// a bounded nesting depth and a bounded number of values, refuses document
// type declarations (and with them any entity but the five of XML and
// character references), and reports a malformed body instead of guessing.

// A response body longer than this is not read at all.
inline constexpr std::size_t kMaxXmlRpcResponseBytes = 4 * 1024 * 1024;
// Arrays and structs nested deeper than this make the response malformed.
inline constexpr int kMaxXmlRpcDepth = 32;
// More values than this in one response make it malformed.
inline constexpr std::size_t kMaxXmlRpcValues = 100000;

struct XmlRpcResponse {
    enum class Outcome { Value, Fault, Malformed };
    Outcome outcome = Outcome::Malformed;
    XmlRpcValue value;       // Value: the one result (Nil for an empty params)
    int faultCode = 0;       // Fault
    std::string faultString; // Fault (UTF-8)
    std::string error;       // Malformed: what was wrong, for the operator

    bool ok() const { return outcome == Outcome::Value; }
};

// The body of a methodCall. Texts are taken as UTF-8: a byte that does not
// start a well-formed sequence becomes "?", control characters other than tab,
// LF and CR are left out (XML cannot carry them), and CR is written as a
// character reference so that it reaches the server as CR.
std::string encodeMethodCall(std::string_view method, const std::vector<XmlRpcValue>& params);

// Reads a methodResponse body.
XmlRpcResponse decodeMethodResponse(std::string_view body);

// Text made safe inside an XML element (see encodeMethodCall).
std::string xmlEscape(std::string_view utf8);

std::string base64Encode(std::string_view bytes);
// Whitespace is skipped; any other character outside the alphabet, or a
// misplaced "=", answers nothing.
std::optional<std::string> base64Decode(std::string_view text);

} // namespace wexon::link
