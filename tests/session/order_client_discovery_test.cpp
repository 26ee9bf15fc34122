// Finding the server through the discovery documents.
#include "order_client_fixture.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

using Lines = std::vector<std::string>;
using test::OrderClientFixture;

const std::string kFirst = std::string(OrderClientFixture::kPrimary) + "ipkavex.html";

struct Shape {
    const char* document;
    const char* host;
    const char* port;
    ServerList entries;
    int16_t keepServer = 0;
};

TEST(ServerDiscovery, EachDocumentShapeSetsHostAndPortFromItsFirstEntryUnlessTheServerIsKept) {
    const Shape shapes[] = {
        {"10.1.2.3", "10.1.2.3", "4711", {"10.1.2.3", "", ""}},
        {"a.example.net: 4300 \r\n  b.example.net  \r\nc.example.net:1\r\nd.example.net",
         "a.example.net",
         "4300",
         {"a.example.net: 4300 ", "b.example.net  ", "c.example.net:1"}}, // only the rest is trimmed
        {"srv.example.net:4200", "game.example.net", "4711", {"srv.example.net:4200", "", ""}, 1},
    };
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.document);
        OrderClientFixture f;
        f.http.documents[kFirst] = shape.document;
        f.keepServer = shape.keepServer;
        OrderClient& client = f.load();
        client.setPort("4711");
        client.discoverServer();
        EXPECT_EQ(client.hostField().text(), shape.host);
        EXPECT_EQ(client.portField().text(), shape.port);
        EXPECT_EQ(client.serverList(), shape.entries);
        EXPECT_EQ(f.host, shape.host) << "the settings follow the host field";
        EXPECT_EQ(f.http.requests, (Lines{kFirst}));
    }
}

TEST(ServerDiscovery, UnacceptableDocumentsFallThroughToTheNextLocation) {
    OrderClientFixture f;
    f.http.documents[kFirst] = "a.b\r\n";                                      // shorter than 6 characters
    f.http.documents["http://mirror.example/ipkavex.html"] = "localhost:4100"; // no "."
    f.http.documents["http://primary.example/ip.html"] = "Die Seite existiert nicht.";
    f.http.documents["http://mirror.example/ip.html"] = "last.example.net:4500";
    OrderClient& client = f.load();
    client.discoverServer();
    EXPECT_EQ(f.http.requests, (Lines{kFirst, "http://mirror.example/ipkavex.html",
                                      "http://primary.example/ip.html", "http://mirror.example/ip.html"}));
    EXPECT_EQ(client.hostField().text(), "last.example.net");
    EXPECT_EQ(client.portField().text(), "4500");
}

TEST(ServerDiscovery, TheGameEditionLooksOnlyForItsOwnDocument) {
    OrderClientFixture f;
    f.hooks.gameEdition = true;
    OrderClient& client = f.load();
    client.discoverServer();
    EXPECT_EQ(f.http.requests,
              (Lines{"http://primary.example/ipplexa.html", "http://mirror.example/ipplexa.html"}));
}

} // namespace
} // namespace kavex
