#!/usr/bin/env python3
"""A small front-end for the Kavex client's local bridge, on the standard library only.

Connects to the running client, identifies itself, prints the instrument list, places a
limit order, waits until the server has it, cancels it and waits for the cancellation.
Exit status 0 when all of that happened, 1 otherwise.

    python3 tools/bridge-example/bridge_example.py --port 4100 --user USER --limit 1

With --bad-orders it first sends orders the server cannot accept (a lower-case type, a
zero quantity, an unknown instrument) and waits for the answer to each. With --idle N it
only connects, sends nothing and checks that the connection is still open after N seconds.

Messages are framed as on the server link: byte 1, the text, byte 2; fields are
separated by ";", lines inside a message by byte 10; the text is Windows-1252.
"""
import argparse
import socket
import sys
import time

START, END = b"\x01", b"\x02"


class Bridge:
    def __init__(self, host, port, timeout):
        self.sock = socket.create_connection((host, port), timeout=timeout)
        self.timeout = timeout
        self.buffer = b""

    def send(self, text):
        print(">>", text)
        self.sock.sendall(START + text.encode("cp1252") + END)

    def next_message(self, deadline):
        while True:
            start = self.buffer.find(START)
            if start >= 0:
                end = self.buffer.find(END, start)
                if end >= 0:
                    message = self.buffer[start + 1:end].decode("cp1252")
                    self.buffer = self.buffer[end + 1:]
                    return message
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError("no answer from the client")
            self.sock.settimeout(left)
            data = self.sock.recv(65536)
            if not data:
                raise ConnectionError("the client closed the connection")
            self.buffer += data

    def wait_for(self, accept):
        """Reads messages until accept(message) returns something other than None."""
        deadline = time.monotonic() + self.timeout
        while True:
            message = self.next_message(deadline)
            print("<<", message.replace("\n", " | "))
            result = accept(message)
            if result is not None:
                return result


def fields(message):
    return message.split(";")


def refusal_of(bridge, order_text, reference):
    """Sends an order and returns the client's or the server's answer to it."""
    bridge.send("@PO;" + order_text + ";" + reference)
    answer = bridge.wait_for(lambda m: m if m.startswith("@ER;") or
                             (m.startswith("@OC;") and fields(m)[1] == reference) else None)
    if answer.startswith("@ER;"):
        return answer
    order = fields(answer)[2].strip()
    return bridge.wait_for(lambda m: m if m.startswith("@OR;" + order + ":") else None)


def send_bad_orders(bridge, code, limit):
    for order_text, reference in ((f"{code};0;BUY;lmt;1;{limit};0", "BAD1"),
                                  (f"{code};0;BUY;LMT;0;{limit};0", "BAD2"),
                                  ("NO-SUCH-CODE;0;BUY;LMT;1;1;0", "BAD3")):
        print("answered:", refusal_of(bridge, order_text, reference))


def stay_idle(bridge, seconds):
    """True when the client keeps the connection open without hearing a word."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        bridge.sock.settimeout(max(0.01, deadline - time.monotonic()))
        try:
            if not bridge.sock.recv(65536):
                print("closed by the client")
                return 1
        except socket.timeout:
            pass
    print("still connected after", seconds, "seconds")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=4100)
    parser.add_argument("--user", default="USER")
    parser.add_argument("--code", help="instrument code (default: the first of the list)")
    parser.add_argument("--limit", default="1", help="buy limit, far from the market so that it waits")
    parser.add_argument("--timeout", type=float, default=10)
    parser.add_argument("--bad-orders", action="store_true", help="first send orders that must be refused")
    parser.add_argument("--idle", type=float, help="only stay connected this long without a word")
    args = parser.parse_args()

    bridge = Bridge(args.host, args.port, args.timeout)
    bridge.wait_for(lambda m: True if m == "WHOISIT" else None)
    if args.idle is not None:
        return stay_idle(bridge, args.idle)
    bridge.send("USER;" + args.user)
    bridge.wait_for(lambda m: True if m == "USER OK" else None)
    listing = bridge.wait_for(lambda m: m if m.startswith("@IL") else None)
    instruments = [line.split(";") for line in listing[4:].split("\n") if line]
    print("instruments:")
    for entry in instruments:
        ticker, code, name = (entry + ["", "", ""])[:3]
        print(f"  {ticker:8} {code:14} {name}")
    if not instruments:
        print("the client has no instruments yet")
        return 1
    code = args.code or instruments[0][1]
    if args.bad_orders:
        send_bad_orders(bridge, code, args.limit)

    reference = "EX%d" % (int(time.time()) % 100000)
    bridge.send(f"@PO;{code};0;BUY;LMT;1;{args.limit};0;{reference}")
    order = bridge.wait_for(
        lambda m: fields(m)[2].strip() if m.startswith("@OC;") and fields(m)[1] == reference else None)
    print("order number", order)

    def status_of(wanted):
        def accept(m):
            f = fields(m)
            if m.startswith("@OS;") and f[1].strip() == order and f[2].strip() in wanted:
                return f[2].strip()
            if m.startswith("@OR;"):
                raise RuntimeError("refused: " + m)
            return None
        return accept

    bridge.wait_for(status_of({"3", "4"}))
    print("working at the server")
    bridge.send("@CO;" + order)
    bridge.wait_for(status_of({"5"}))
    print("cancelled")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except (OSError, RuntimeError, IndexError) as e:
        print("failed:", e)
        sys.exit(1)
