"""A local SMTP server for the mail tests: aiosmtpd on 127.0.0.1.

Prints "READY <port>" once listening. Each message received is kept in OUT as
msgN.eml (the raw data), msgN.env (sender then recipients), msgN.subject (the
decoded subject), msgN.body (the decoded text) and msgN.attK (each decoded
attachment), read back by the tests with a real MIME parser's view.
"""
import argparse, asyncio, email, email.policy, os, socket, ssl, sys, time

ap = argparse.ArgumentParser()
ap.add_argument("out")
ap.add_argument("--cert")
ap.add_argument("--key")
ap.add_argument("--auth")            # login:password, STARTTLS required
ap.add_argument("--reject", action="append", default=[])
ap.add_argument("--silent", action="store_true")  # accepts, never answers
ap.add_argument("--hangup", action="store_true")  # closes the connection in the middle of DATA
args = ap.parse_args()

def free_port():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port

if args.silent:
    srv = socket.socket()
    srv.bind(("127.0.0.1", 0))
    srv.listen(5)
    print("READY", srv.getsockname()[1], flush=True)
    import threading
    held = []
    def hold():
        while True:
            held.append(srv.accept()[0])
    threading.Thread(target=hold, daemon=True).start()
    sys.stdin.read()  # runs until the test closes our input
    sys.exit(0)

if args.hangup:
    import threading
    srv = socket.socket()
    srv.bind(("127.0.0.1", 0))
    srv.listen(5)
    print("READY", srv.getsockname()[1], flush=True)
    def talk(conn):
        f = conn.makefile("rb")
        conn.sendall(b"220 hangup ready\r\n")
        for line in f:
            verb = line[:4].upper()
            if verb == b"DATA":
                conn.sendall(b"354 go ahead\r\n")
                f.readline()  # the first line of the message, then gone
                break
            conn.sendall(b"250 OK\r\n")
        conn.close()
    def serve():
        while True:
            threading.Thread(target=talk, args=(srv.accept()[0],), daemon=True).start()
    threading.Thread(target=serve, daemon=True).start()
    sys.stdin.read()
    sys.exit(0)

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult

class Handler:
    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address in args.reject:
            return "550 5.1.1 No such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        n = len([f for f in os.listdir(args.out) if f.endswith(".env")])
        base = os.path.join(args.out, "msg%d" % n)
        data = envelope.original_content or envelope.content
        open(base + ".eml", "wb").write(data)
        msg = email.message_from_bytes(data, policy=email.policy.default)
        open(base + ".subject", "w", encoding="utf-8").write(str(msg["subject"] or ""))
        k = 0
        for part in msg.walk():
            if part.is_multipart():
                continue
            if part.get_content_disposition() == "attachment":
                open("%s.att%d" % (base, k), "wb").write(part.get_payload(decode=True))
                k += 1
            elif part.get_content_type() == "text/plain":
                open(base + ".body", "w", encoding="utf-8").write(part.get_content().replace("\r\n", "\n"))
        open(base + ".env", "w").write("\n".join([envelope.mail_from] + envelope.rcpt_tos))
        return "250 2.0.0 Message accepted"

kw = {}
if args.cert:
    ctx = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    ctx.load_cert_chain(args.cert, args.key)
    kw.update(tls_context=ctx, require_starttls=True)
if args.auth:
    login, password = args.auth.split(":", 1)
    def authenticator(server, session, envelope, mechanism, auth_data):
        ok = auth_data.login.decode() == login and auth_data.password.decode() == password
        return AuthResult(success=ok)
    kw.update(authenticator=authenticator, auth_require_tls=True)

port = free_port()
ctl = Controller(Handler(), hostname="127.0.0.1", port=port, decode_data=False, **kw)
ctl.start()
print("READY", port, flush=True)
try:
    sys.stdin.read()  # runs until the test closes our input
finally:
    ctl.stop()
