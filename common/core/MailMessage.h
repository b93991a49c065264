#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace vm::mail {

struct MailAttachment {
    std::string fileName; // shown to the reader; cleaned when the message is built
    std::string data;     // the file's bytes
};

// One outgoing message. Texts are UTF-8; the addresses are bare
// ("name@host") or "Name <name@host>".
struct MailMessage {
    std::string fromName, fromAddress;
    std::vector<std::string> to, cc, bcc;
    std::string subject;
    std::string body; // lines separated by "\n" (a "\r\n" is taken as one break)
    std::vector<MailAttachment> attachments;
    std::string mailer; // the X-Mailer header; none when empty
};

// The bare address of an entry: between "<" and ">" when there is a "<",
// else after ":" when there is one, else the whole entry, trimmed. Empty
// when the entry holds no address.
std::string bareAddress(std::string_view entry);
// Why an address cannot be sent to (a line break, a blank, angle brackets,
// no "@"...), or empty when it is sound.
std::string addressProblem(std::string_view address);

// A user's text made safe for one header line: line breaks and other control
// characters become spaces.
std::string foldToLine(std::string_view text);
// A header value: as it stands when plain printable ASCII, else RFC 2047
// encoded words (UTF-8, base64), each line kept under 76 characters.
std::string encodeHeaderText(std::string_view text);
// A display name for From/To: encoded when not ASCII, quoted when it holds
// characters that would split an address list.
std::string encodeDisplayName(std::string_view name);

// Standard base64 in lines of 60 characters (45 bytes each) ending in CR LF.
std::string base64Lines(std::string_view bytes);
// Quoted-printable (RFC 2045) of UTF-8 text, lines ending in CR LF.
std::string quotedPrintable(std::string_view text);

// A MIME boundary: "====================54535", six letters a..y, "====".
std::string makeBoundary();

// The message as sent after DATA, lines ending in CR LF and dot-stuffed,
// without the final "." line. `eightBit`: the server takes 8-bit bodies.
// `boundary` empty = a fresh one.
std::string buildMessage(const MailMessage& m, bool eightBit, std::string boundary = {});

} // namespace vm::mail
