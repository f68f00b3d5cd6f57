#!/usr/bin/env python3
"""A scripted HTTP(S) server for the download tests.

Listens on 127.0.0.1 and [::1] (plain) and, with --cert, on both for TLS.
Each path answers with one fixed behaviour, byte for byte. Every request is
counted per path; "/hits/<path>" tells how often <path> was asked.
Writes "plain PORT\ntls PORT\n" to --ports once it listens.
"""
import argparse
import socket
import ssl
import struct
import threading

hits = {}
hits_lock = threading.Lock()
sni_names = []


def read_request(conn):
    data = b""
    while b"\r\n\r\n" not in data:
        piece = conn.recv(65536)
        if not piece:
            return None
        data += piece
        if len(data) > 1 << 20:
            return None
    head, _, rest = data.partition(b"\r\n\r\n")
    return head + b"\r\n\r\n", rest


def tunnel(conn, raw):
    """Answers CONNECT: relays the connection to this server's TLS port."""
    with hits_lock:
        hits["/CONNECT"] = hits.get("/CONNECT", 0) + 1
    upstream = socket.create_connection(("127.0.0.1", tls_port))
    conn.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")

    def pump(source, target):
        try:
            while True:
                data = source.recv(65536)
                if not data:
                    break
                target.sendall(data)
        except OSError:
            pass
        for s in (source, target):
            try:
                s.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
    threading.Thread(target=pump, args=(upstream, conn), daemon=True).start()
    pump(conn, upstream)
    upstream.close()


def respond(conn, raw, tls):
    line = raw.split(b"\r\n", 1)[0].decode("latin-1")
    parts = line.split(" ")
    if parts[0] == "CONNECT" and not tls:
        tunnel(conn, raw)
        return False
    path = parts[1] if len(parts) > 1 else ""
    key = path.split("?", 1)[0]
    with hits_lock:
        hits[key] = hits.get(key, 0) + 1

    def send(text):
        conn.sendall(text if isinstance(text, bytes) else text.encode("latin-1"))

    def body200(body, extra=""):
        send("HTTP/1.1 200 OK\r\nContent-Length: %d\r\n%s\r\n" % (len(body), extra))
        send(body)

    if key in ("/", "/echo") or key.endswith("://download.invalid/echo"):
        body200(raw)
    elif key.startswith("/hits/"):
        with hits_lock:
            body200(str(hits.get(key[5:], 0)))
    elif key == "/sni":
        body200(sni_names[-1] if sni_names else "")
    elif key == "/plain":
        body200("hello world\n")
    elif key == "/empty":
        body200("")
    elif key == "/chunked":
        send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
             "5;ext=1\r\nhello\r\n7;a;b=\"c\"\r\n, world\r\n0\r\n\r\n")
    elif key == "/chunked-cut":
        send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n")
        return False
    elif key == "/short":
        send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabcdef")
        return False
    elif key == "/noclen":
        send("HTTP/1.1 200 OK\r\nX-Content-Length: 3\r\n\r\nuntil the close\n")
        return False
    elif key == "/noclen-reset":
        send("HTTP/1.1 200 OK\r\n\r\npartial")
        conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        return False
    elif key == "/a/d/e":
        send("HTTP/1.1 302 Found\r\nLocation: ../b/c?x=1\r\nContent-Length: 0\r\n\r\n")
    elif key == "/a/b/c":
        body200("resolved " + path)
    elif key == "/absolute":
        host = "[::1]" if conn.family == socket.AF_INET6 else "127.0.0.1"
        port = conn.getsockname()[1]
        send("HTTP/1.1 301 Moved\r\nLocation: %s://%s:%d/plain\r\n\r\n"
             % ("https" if tls else "http", host, port))
    elif key == "/cookie":
        send("HTTP/1.1 302 Found\r\nSet-Cookie: sid=abc123; Path=/; HttpOnly\r\n"
             "Location: /echo\r\nContent-Length: 0\r\n\r\n")
    elif key == "/elsewhere":
        # Same server, other origin: the host name instead of the address.
        port = conn.getsockname()[1]
        send("HTTP/1.1 302 Found\r\nSet-Cookie: sid=abc123\r\n"
             "Location: http://localhost:%d/echo\r\nContent-Length: 0\r\n\r\n" % port)
    elif key == "/to-http":
        send("HTTP/1.1 302 Found\r\nLocation: http://localhost:%d/plain\r\n\r\n"
             % plain_port)
    elif key == "/loop":
        send("HTTP/1.1 302 Found\r\nLocation: /loop\r\nContent-Length: 0\r\n\r\n")
    elif key == "/bad-location":
        send("HTTP/1.1 302 Found\r\nLocation: /echo\x01x\r\n\r\n")
    elif key == "/x200":
        send("HTTP/1.1 500 x 200\r\nContent-Length: 2\r\n\r\nno")
    elif key == "/flood":
        send("HTTP/1.1 200 OK\r\n")
        line = "X-Flood: " + "f" * 1014 + "\r\n"
        try:
            for _ in range(10 * 1024):
                send(line)
            send("Content-Length: 2\r\n\r\nok")
        except OSError:
            pass
        return False
    elif key == "/big":
        size = int(path.split("=", 1)[1]) if "=" in path else 1 << 20
        send("HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % size)
        block = bytes(range(256)) * 256
        left = size
        while left > 0:
            piece = block[: min(left, len(block))]
            send(piece)
            left -= len(piece)
    else:
        send("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found")
    return True


def serve(conn, tls):
    try:
        while True:
            got = read_request(conn)
            if got is None:
                break
            if not respond(conn, got[0], tls):
                break
    except (OSError, ssl.SSLError):
        pass
    finally:
        try:
            if tls:
                conn.unwrap()
        except (OSError, ssl.SSLError, ValueError):
            pass
        conn.close()


def listen(family, address, port):
    s = socket.socket(family, socket.SOCK_STREAM)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    if family == socket.AF_INET6:
        s.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_V6ONLY, 1)
    s.bind((address, port))
    s.listen(64)
    return s


def accept_loop(server, context):
    while True:
        conn, _ = server.accept()
        def run(conn=conn):
            if context:
                try:
                    conn.settimeout(30)
                    conn = context.wrap_socket(conn, server_side=True)
                except (OSError, ssl.SSLError):
                    conn.close()
                    return
            serve(conn, context is not None)
        threading.Thread(target=run, daemon=True).start()


def main():
    global plain_port, tls_port
    parser = argparse.ArgumentParser()
    parser.add_argument("--ports", required=True)
    parser.add_argument("--cert")
    parser.add_argument("--key")
    args = parser.parse_args()

    plain4 = listen(socket.AF_INET, "127.0.0.1", 0)
    plain_port = plain4.getsockname()[1]
    plain6 = listen(socket.AF_INET6, "::1", plain_port)
    servers = [(plain4, None), (plain6, None)]
    if args.cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.cert, args.key)

        def remember(sock, name, ctx):
            sni_names.append(name or "")
        context.sni_callback = remember
        tls4 = listen(socket.AF_INET, "127.0.0.1", 0)
        tls_port = tls4.getsockname()[1]
        servers.append((tls4, context))
        servers.append((listen(socket.AF_INET6, "::1", tls_port), context))
    for server, context in servers:
        threading.Thread(target=accept_loop, args=(server, context), daemon=True).start()
    with open(args.ports + ".new", "w") as f:
        f.write("plain %d\ntls %d\n" % (plain_port, tls_port))
    import os
    os.replace(args.ports + ".new", args.ports)
    threading.Event().wait()


plain_port = 0
tls_port = 0
if __name__ == "__main__":
    main()
