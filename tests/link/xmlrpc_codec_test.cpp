// The XML-RPC wire format: the calls the fldigi link makes, and the answers
// fldigi gives to them (the bodies below were recorded from fldigi 4.1.23),
// plus the malformed and hostile bodies a server might send.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "link/xmlrpc_codec.h"

using namespace wexon::link;
using K = XmlRpcValue::Kind;

namespace {

XmlRpcResponse decodeOk(const std::string& body) {
    XmlRpcResponse r = decodeMethodResponse(body);
    EXPECT_EQ(r.outcome, XmlRpcResponse::Outcome::Value) << r.error << "\n" << body;
    return r;
}

std::string wrapValue(const std::string& value) {
    return "<?xml version=\"1.0\"?>\n<methodResponse><params><param>\n\t" + value +
           "\n</param></params></methodResponse>\n";
}

} // namespace

// ---------------------------------------------------------------- writing calls

TEST(XmlRpcEncode, CallWithoutParametersIsTheShapeFldigiAccepts) {
    EXPECT_EQ(encodeMethodCall("fldigi.version", {}),
              "<?xml version=\"1.0\"?>\n<methodCall><methodName>fldigi.version</methodName>"
              "<params></params></methodCall>\n");
}

TEST(XmlRpcEncode, IntegersAreWrittenAsI4SoFldigiTakesTheRangeOfItsReceivePane) {
    // fldigi ends itself when text.get_rx gets parameters of another type.
    const std::string body =
        encodeMethodCall("text.get_rx", {XmlRpcValue::int32(150), XmlRpcValue::int32(-3)});
    EXPECT_NE(body.find("<param><value><i4>150</i4></value></param>"
                        "<param><value><i4>-3</i4></value></param>"),
              std::string::npos);
}

TEST(XmlRpcEncode, EveryScalarKindRoundTripsThroughTheReader) {
    const XmlRpcValue values[] = {XmlRpcValue::string("a<b>&c"), XmlRpcValue::int32(-7),
                                  XmlRpcValue::number(14070000.5), XmlRpcValue::boolean(true),
                                  XmlRpcValue::bytes(std::string("\0\xff ok", 5))};
    for (const XmlRpcValue& v : values) {
        const std::string call = encodeMethodCall("m", {v});
        const std::size_t begin = call.find("<value>");
        const std::size_t end = call.rfind("</value>") + 8;
        const XmlRpcResponse r = decodeOk(wrapValue(call.substr(begin, end - begin)));
        EXPECT_EQ(r.value.kind, v.kind);
        EXPECT_EQ(r.value.text, v.text);
        EXPECT_EQ(r.value.integer, v.integer);
        EXPECT_DOUBLE_EQ(r.value.real, v.real);
    }
}

TEST(XmlRpcEncode, TextIsEscapedAndKeepsItsLineEnds) {
    EXPECT_EQ(xmlEscape("CQ <TEST> & \"W1AW\""), "CQ &lt;TEST&gt; &amp; \"W1AW\"");
    // CR would be read as LF by the server's XML reader; a reference keeps it.
    EXPECT_EQ(xmlEscape("a\r\nb\tc"), "a&#13;\nb\tc");
}

TEST(XmlRpcEncode, BytesXmlCannotCarryAreLeftOutOrReplaced) {
    EXPECT_EQ(xmlEscape(std::string("a\0b\x01\x1b\x7f"
                                    "c",
                                    7)),
              "abc");
    EXPECT_EQ(xmlEscape("\xc3\xa9t\xc3\xa9"), "\xc3\xa9t\xc3\xa9"); // well-formed UTF-8 passes
    EXPECT_EQ(xmlEscape("\xe9t\xe9"), "?t?");                       // Latin-1 bytes do not
    EXPECT_EQ(xmlEscape("\xed\xa0\x80"), "???");                    // nor a surrogate
    EXPECT_EQ(xmlEscape("\xc3"), "?");                              // nor a cut sequence
}

TEST(XmlRpcEncode, MethodNameIsEscapedToo) {
    EXPECT_NE(encodeMethodCall("a<b", {}).find("<methodName>a&lt;b</methodName>"),
              std::string::npos);
}

TEST(XmlRpcEncode, DoublesAreWrittenWithoutExponentAndNeverAsNotANumber) {
    const std::string body = encodeMethodCall("rig.set_frequency", {XmlRpcValue::number(1.4e7)});
    EXPECT_NE(body.find("<double>14000000</double>"), std::string::npos);
    const std::string nan =
        encodeMethodCall("x", {XmlRpcValue::number(std::numeric_limits<double>::quiet_NaN())});
    EXPECT_NE(nan.find("<double>0</double>"), std::string::npos);
}

// ---------------------------------------------------------------- fldigi's answers

TEST(XmlRpcDecode, FldigiAnswersAsRecorded) {
    // fldigi.version: a string without a type element.
    EXPECT_EQ(decodeOk(wrapValue("<value>4.1.23</value>")).value.text, "4.1.23");
    // text.get_rx_length and modem.get_carrier: <i4>.
    const XmlRpcResponse length = decodeOk(wrapValue("<value><i4>150</i4></value>"));
    EXPECT_EQ(length.value.kind, K::Int);
    EXPECT_EQ(length.value.integer, 150);
    // rig.get_frequency: a double.
    const XmlRpcResponse freq =
        decodeOk(wrapValue("<value><double>14070000.000000</double></value>"));
    EXPECT_EQ(freq.value.kind, K::Double);
    EXPECT_DOUBLE_EQ(freq.value.real, 14070000.0);
    // tx.get_data / text.get_rx: base64, here "CQ TEST W1A".
    const XmlRpcResponse tx =
        decodeOk(wrapValue("<value><base64>Q1EgVEVTVCBXMUE=</base64></value>"));
    EXPECT_EQ(tx.value.kind, K::Base64);
    EXPECT_EQ(tx.value.text, "CQ TEST W1A");
    // log.set_call and main.tx answer an empty value.
    const XmlRpcResponse empty = decodeOk(wrapValue("<value></value>"));
    EXPECT_EQ(empty.value.kind, K::String);
    EXPECT_EQ(empty.value.text, "");
    // An empty base64 (nothing received since the last read).
    EXPECT_EQ(decodeOk(wrapValue("<value><base64></base64></value>")).value.text, "");
    // main.get_afc: a boolean.
    const XmlRpcResponse afc = decodeOk(wrapValue("<value><boolean>1</boolean></value>"));
    EXPECT_EQ(afc.value.kind, K::Boolean);
    EXPECT_EQ(afc.value.integer, 1);
}

TEST(XmlRpcDecode, FaultCarriesCodeAndText) {
    const XmlRpcResponse r = decodeMethodResponse(
        "<?xml version=\"1.0\"?>\n<methodResponse><fault>\n\t<value><struct><member><name>"
        "faultCode</name><value><i4>-1</i4></value></member><member><name>faultString</name>"
        "<value>nosuch.method: unknown method name</value></member></struct></value>\n"
        "</fault></methodResponse>\n");
    ASSERT_EQ(r.outcome, XmlRpcResponse::Outcome::Fault);
    EXPECT_EQ(r.faultCode, -1);
    EXPECT_EQ(r.faultString, "nosuch.method: unknown method name");
}

TEST(XmlRpcDecode, ArraysAndStructsAsInFldigiList) {
    const XmlRpcResponse r = decodeOk(
        wrapValue("<value><array><data><value><struct>"
                  "<member><name>name</name><value>fldigi.list</value></member>"
                  "<member><name>signature</name><value>A:n</value></member>"
                  "</struct></value><value><i4>2</i4></value><value/></data></array></value>"));
    ASSERT_EQ(r.value.kind, K::Array);
    ASSERT_EQ(r.value.items.size(), 3U);
    const XmlRpcValue& first = r.value.items[0];
    ASSERT_NE(first.member("signature"), nullptr);
    EXPECT_EQ(first.member("signature")->text, "A:n");
    EXPECT_EQ(first.member("help"), nullptr);
    EXPECT_EQ(r.value.items[1].integer, 2);
    EXPECT_EQ(r.value.items[2].text, "");
}

TEST(XmlRpcDecode, OtherServersSpellingsAreReadToo) {
    EXPECT_EQ(decodeOk(wrapValue("<value><int> +42 </int></value>")).value.integer, 42);
    EXPECT_EQ(decodeOk(wrapValue("<value><i8>-9000000000</i8></value>")).value.integer,
              -9000000000LL);
    EXPECT_EQ(decodeOk(wrapValue("<value><string/></value>")).value.kind, K::String);
    EXPECT_EQ(decodeOk(wrapValue("<value><nil/></value>")).value.kind, K::Nil);
    EXPECT_EQ(decodeOk(wrapValue("<value><![CDATA[a<b]]></value>")).value.text, "a<b");
    EXPECT_EQ(decodeOk(wrapValue("<value>&#233;&#x41;&lt;&amp;</value>")).value.text, "\xc3\xa9"
                                                                                      "A<&");
    EXPECT_EQ(decodeOk(wrapValue("<value><dateTime.iso8601>20261209T14:00:00</dateTime.iso8601>"
                                 "</value>"))
                  .value.text,
              "20261209T14:00:00");
    EXPECT_EQ(decodeOk("<methodResponse><params/></methodResponse>").value.kind, K::Nil);
    // A comment and attributes are skipped; CR LF in text reads as LF.
    EXPECT_EQ(decodeOk(wrapValue("<!-- x --><value a='>'>a\r\nb</value>")).value.text, "a\nb");
}

TEST(XmlRpcDecode, MalformedBodiesAreReportedNotGuessed) {
    const char* bodies[] = {
        "",
        "not xml",
        "<methodResponse>",
        "<methodResponse><params><param><value><i4>12x</i4></value></param></params>"
        "</methodResponse>",
        "<methodResponse><params><param><value><i4>99999999999</i4></value></param></params>"
        "</methodResponse>",
        "<methodResponse><params><param><value><double>nan</double></value></param></params>"
        "</methodResponse>",
        "<methodResponse><params><param><value><boolean>2</boolean></value></param></params>"
        "</methodResponse>",
        "<methodResponse><params><param><value><base64>@@</base64></value></param></params>"
        "</methodResponse>",
        "<methodResponse><params><param><value><float>1</float></value></param></params>"
        "</methodResponse>",
        "<methodResponse><params><param><value>&bogus;</value></param></params>"
        "</methodResponse>",
        "<methodResponse><params><param><value>&#0;</value></param></params></methodResponse>",
        "<methodResponse><params><param><value>x</value></param></params></methodResponse>junk",
        "<methodResponse><fault><value><struct></struct></value></fault></methodResponse>",
        "<methodResponse><params><param><value><i4>1</i4><i4>2</i4></value></param></params>"
        "</methodResponse>",
    };
    for (const char* body : bodies) {
        const XmlRpcResponse r = decodeMethodResponse(body);
        EXPECT_EQ(r.outcome, XmlRpcResponse::Outcome::Malformed) << body;
        EXPECT_FALSE(r.error.empty()) << body;
    }
}

TEST(XmlRpcDecode, EntityDeclarationsAreRefused) {
    const XmlRpcResponse r = decodeMethodResponse(
        "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY a \"aaaa\">]><methodResponse><params>"
        "<param><value>&a;</value></param></params></methodResponse>");
    EXPECT_EQ(r.outcome, XmlRpcResponse::Outcome::Malformed);
}

TEST(XmlRpcDecode, DeepNestingAndHugeBodiesStopAtTheirBounds) {
    std::string deep;
    for (int i = 0; i < kMaxXmlRpcDepth + 5; ++i) {
        deep += "<value><array><data>";
    }
    EXPECT_EQ(decodeMethodResponse("<methodResponse><params><param>" + deep).outcome,
              XmlRpcResponse::Outcome::Malformed);
    const std::string huge(kMaxXmlRpcResponseBytes + 1, ' ');
    EXPECT_EQ(decodeMethodResponse(huge).outcome, XmlRpcResponse::Outcome::Malformed);
    std::string many = "<value><array><data>";
    for (std::size_t i = 0; i <= kMaxXmlRpcValues; ++i) {
        many += "<value/>";
    }
    many += "</data></array></value>";
    EXPECT_EQ(decodeMethodResponse(wrapValue(many)).outcome, XmlRpcResponse::Outcome::Malformed);
}

// ---------------------------------------------------------------- base64

TEST(Base64, RoundTripsEveryLengthAndRefusesBadInput) {
    std::string bytes;
    for (int n = 0; n < 10; ++n) {
        EXPECT_EQ(base64Decode(base64Encode(bytes)), bytes) << n;
        bytes += static_cast<char>(0xF0 + n);
    }
    EXPECT_EQ(base64Encode("CQ TEST W1A"), "Q1EgVEVTVCBXMUE=");
    EXPECT_EQ(base64Decode("Q1Eg\nVEVT VCBXMUE="), "CQ TEST W1A");
    EXPECT_FALSE(base64Decode("Q1E=g")); // a digit after padding
    EXPECT_FALSE(base64Decode("Q"));     // one digit makes no byte
    EXPECT_FALSE(base64Decode("QQ="));   // padding that ends no quartet
    EXPECT_FALSE(base64Decode("QQ==="));
    EXPECT_FALSE(base64Decode("Q1E-"));
}
