#include "common/core/MailMessage.h"

#include <random>

namespace vm::mail {

namespace {

constexpr char kB64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string base64(std::string_view in) {
    std::string out;
    out.reserve((in.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < in.size(); i += 3) {
        const unsigned v = (static_cast<unsigned char>(in[i]) << 16) |
                           (static_cast<unsigned char>(in[i + 1]) << 8) |
                           static_cast<unsigned char>(in[i + 2]);
        out += kB64[(v >> 18) & 63];
        out += kB64[(v >> 12) & 63];
        out += kB64[(v >> 6) & 63];
        out += kB64[v & 63];
    }
    if (i < in.size()) {
        unsigned v = static_cast<unsigned char>(in[i]) << 16;
        if (i + 1 < in.size()) v |= static_cast<unsigned char>(in[i + 1]) << 8;
        out += kB64[(v >> 18) & 63];
        out += kB64[(v >> 12) & 63];
        out += i + 1 < in.size() ? kB64[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

bool plainAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c < 0x20 || c > 0x7e) return false;
    return true;
}

std::string trimmed(std::string_view s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    const auto e = s.find_last_not_of(" \t");
    return std::string(s.substr(b, e - b + 1));
}

// Body lines split on "\r\n", "\n" or a lone "\r".
std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < text.size()) out.push_back(text.substr(start));
    return out;
}

std::string cleanFileName(std::string_view name) {
    const auto slash = name.find_last_of("/\\");
    if (slash != std::string_view::npos) name = name.substr(slash + 1);
    std::string out;
    for (unsigned char c : name)
        out += (c < 0x20 || c > 0x7e || c == '"' || c == '\\') ? '_' : static_cast<char>(c);
    return out.empty() ? std::string("attachment") : out;
}

std::string contentTypeOf(const std::string& fileName) {
    const auto dot = fileName.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : fileName.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == "pdf" ? "application/pdf" : "application/octet-stream";
}

} // namespace

std::string bareAddress(std::string_view e) {
    const auto lt = e.find('<');
    if (lt != std::string_view::npos) {
        const auto gt = e.find('>', lt);
        return trimmed(e.substr(lt + 1, gt == std::string_view::npos ? std::string_view::npos : gt - lt - 1));
    }
    const auto colon = e.find(':');
    if (colon != std::string_view::npos) return trimmed(e.substr(colon + 1));
    return trimmed(e);
}

std::string addressProblem(std::string_view a) {
    if (a.empty()) return "empty address";
    for (unsigned char c : a) {
        if (c < 0x21 || c == 0x7f) return "line break, blank or control character in the address";
        if (c == '<' || c == '>' || c == ',' || c == ';' || c == '"')
            return "unexpected character in the address";
    }
    const auto at = a.rfind('@');
    if (at == std::string_view::npos || at == 0 || at + 1 == a.size())
        return "no @ and domain in the address";
    return {};
}

std::string foldToLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text)
        out += (c < 0x20 || c == 0x7f) ? ' ' : static_cast<char>(c);
    return out;
}

std::string encodeHeaderText(std::string_view text) {
    const std::string line = foldToLine(text);
    if (plainAscii(line)) return line;
    // Encoded words of at most 45 bytes (60 base64 characters), never splitting
    // a UTF-8 sequence, joined by a folded line.
    std::string out;
    std::size_t i = 0;
    while (i < line.size()) {
        std::size_t n = std::min<std::size_t>(45, line.size() - i);
        while (i + n < line.size() && (static_cast<unsigned char>(line[i + n]) & 0xC0) == 0x80)
            --n;
        if (!out.empty()) out += "\r\n ";
        out += "=?UTF-8?B?" + base64(std::string_view(line).substr(i, n)) + "?=";
        i += n;
    }
    return out;
}

std::string encodeDisplayName(std::string_view name) {
    const std::string line = foldToLine(name);
    if (!plainAscii(line)) return encodeHeaderText(line);
    if (line.find_first_of("()<>[]:;@\\,.\"") == std::string::npos) return line;
    std::string q = "\"";
    for (char c : line) {
        if (c == '"' || c == '\\') q += '\\';
        q += c;
    }
    return q + "\"";
}

std::string base64Lines(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 4 / 3 + bytes.size() / 45 * 2 + 8);
    for (std::size_t i = 0; i < bytes.size(); i += 45)
        out += base64(bytes.substr(i, 45)) + "\r\n";
    return out;
}

std::string quotedPrintable(std::string_view text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (std::string_view l : lines(text)) {
        std::string enc;
        for (std::size_t i = 0; i < l.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(l[i]);
            const bool last = i + 1 == l.size();
            std::string piece;
            if ((c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last))
                piece = static_cast<char>(c);
            else
                piece = std::string("=") + hex[c >> 4] + hex[c & 15];
            // Soft line breaks keep every line within 76 characters.
            std::size_t lineLen =
                enc.size() - (enc.rfind("\r\n") == std::string::npos ? 0 : enc.rfind("\r\n") + 2);
            if (lineLen + piece.size() > 75) enc += "=\r\n";
            enc += piece;
        }
        out += enc + "\r\n";
    }
    return out;
}

std::string makeBoundary() {
    static thread_local std::mt19937 gen{std::random_device{}()};
    std::uniform_int_distribution<int> letter(0, 24); // a..y
    std::string b = "====================54535";
    for (int i = 0; i < 6; ++i)
        b += static_cast<char>('a' + letter(gen));
    return b + "====";
}

std::string buildMessage(const MailMessage& m, bool eightBit, std::string boundary) {
    auto addressList = [](const std::vector<std::string>& entries) {
        std::string out;
        for (const std::string& e : entries) {
            const std::string a = bareAddress(e);
            if (a.empty()) continue;
            const auto lt = e.find('<');
            const std::string name = lt == std::string::npos ? std::string() : trimmed(e.substr(0, lt));
            if (!out.empty()) out += ",";
            out += name.empty() ? a : encodeDisplayName(name) + " <" + a + ">";
        }
        return out;
    };
    // Body: 7-bit as it stands when it can be; else 8-bit when the server takes
    // it, else quoted-printable.
    std::string text;
    bool longLine = false;
    for (std::string_view l : lines(m.body)) {
        if (l.size() > 998) longLine = true;
        text.append(l);
        text += "\r\n";
    }
    std::string transfer;
    bool ascii = true;
    for (unsigned char c : text)
        if (c > 0x7e) ascii = false;
    if (longLine || (!ascii && !eightBit)) {
        text = quotedPrintable(m.body);
        transfer = "quoted-printable";
    } else if (!ascii) {
        transfer = "8bit";
    }
    const std::string textType = "text/plain; charset=utf-8";
    const std::string textTransfer =
        transfer.empty() ? "" : "Content-Transfer-Encoding: " + transfer + "\r\n";

    std::string h;
    h += "From: " + encodeDisplayName(m.fromName) + "<" + foldToLine(m.fromAddress) + ">\r\n";
    if (const std::string to = addressList(m.to); !to.empty()) h += "To: " + to + "\r\n";
    if (const std::string cc = addressList(m.cc); !cc.empty()) h += "CC: " + cc + "\r\n";
    if (!m.subject.empty()) h += "Subject: " + encodeHeaderText(m.subject) + "\r\n";
    if (!m.mailer.empty()) h += "X-Mailer: " + encodeHeaderText(m.mailer) + "\r\n";
    h += "Mime-Version: 1.0\r\n";

    std::string body;
    if (m.attachments.empty()) {
        h += "Content-Type: " + textType + "\r\n" + textTransfer;
        body = text;
    } else {
        if (boundary.empty()) boundary = makeBoundary();
        h += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n";
        body = "--" + boundary + "\r\nContent-Type: " + textType + "\r\n" + textTransfer + "\r\n" + text;
        for (const MailAttachment& a : m.attachments) {
            const std::string name = cleanFileName(a.fileName);
            body += "--" + boundary + "\r\n";
            body += "Content-Type: " + contentTypeOf(name) + "; name=\"" + name + "\"\r\n";
            body += "Content-Transfer-Encoding: base64\r\n";
            body += "Content-Disposition: attachment; filename=\"" + name + "\"\r\n\r\n";
            body += base64Lines(a.data);
        }
        body += "--" + boundary + "--\r\n";
    }
    // Dot-stuffing: a line starting with "." gets a second one, so that no
    // line of the message can end the DATA phase.
    std::string out = h + "\r\n";
    out.reserve(out.size() + body.size() + 64);
    std::size_t start = 0;
    while (start < body.size()) {
        std::size_t end = body.find("\r\n", start);
        end = end == std::string::npos ? body.size() : end + 2;
        if (body[start] == '.') out += '.';
        out.append(body, start, end - start);
        start = end;
    }
    return out;
}

} // namespace vm::mail
