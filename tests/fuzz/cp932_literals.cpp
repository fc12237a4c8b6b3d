// Copies a UTF-8 C++ source with the characters of its narrow string and
// character literals written as octal escapes of their code page 932 bytes:
// the bytes g++ makes of them with -fexec-charset=CP932, which clang does not
// take. UTF-8, UTF-16, UTF-32 and wide literals and all comments stay as they
// are.
//
//   mokure_cp932_literals IN OUT

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace {

bool IsIdentifierByte(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The code page 932 bytes of one UTF-8 character.
std::string ToCp932(const std::string& utf8)
{
    iconv_t convert = iconv_open("CP932", "UTF-8");
    if (convert == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error("iconv has no CP932");
    }
    std::string in = utf8;
    char out[8];
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out;
    std::size_t outLeft = sizeof out;
    const std::size_t done = iconv(convert, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(convert);
    if (done == static_cast<std::size_t>(-1) || inLeft != 0) {
        throw std::runtime_error("no code page 932 form for \"" + utf8 + "\"");
    }
    return std::string(out, static_cast<std::size_t>(outPtr - out));
}

std::string OctalEscape(unsigned char b)
{
    // Three digits always, so that a digit after the escape is never taken in.
    char escape[5];
    std::snprintf(escape, sizeof escape, "\\%03o", b);
    return escape;
}

class Transcoder {
public:
    explicit Transcoder(const std::string& source) : s_(source) {}

    std::string Run()
    {
        while (i_ < s_.size()) {
            if (s_.compare(i_, 2, "//") == 0) {
                CopyThrough("\n");
            } else if (s_.compare(i_, 2, "/*") == 0) {
                CopyThrough("*/");
            } else if (s_[i_] == '"' || s_[i_] == '\'') {
                Literal();
            } else {
                out_ += s_[i_++];
            }
        }
        return out_;
    }

private:
    void CopyThrough(const std::string& end)
    {
        const std::size_t stop = s_.find(end, i_ + 1);
        const std::size_t next = stop == std::string::npos ? s_.size() : stop + end.size();
        out_.append(s_, i_, next - i_);
        i_ = next;
    }

    // The identifier right before the quote: an encoding prefix, a raw
    // marker, or (before ') a number with digit separators.
    std::string Prefix() const
    {
        std::size_t start = i_;
        while (start > 0 && IsIdentifierByte(s_[start - 1])) {
            --start;
        }
        return s_.substr(start, i_ - start);
    }

    void Literal()
    {
        const char quote = s_[i_];
        const std::string prefix = Prefix();
        const bool encoded = prefix == "u8" || prefix == "u" || prefix == "U" || prefix == "L";
        if (quote == '\'' && !prefix.empty() && !encoded) {
            out_ += s_[i_++];  // a digit separator
            return;
        }
        if (!prefix.empty() && prefix.back() == 'R' && quote == '"') {
            RawLiteral(prefix == "R");
            return;
        }
        const bool narrow = !encoded;
        out_ += s_[i_++];
        while (i_ < s_.size() && s_[i_] != quote) {
            const unsigned char b = static_cast<unsigned char>(s_[i_]);
            if (s_[i_] == '\n') {
                throw std::runtime_error("a literal runs to the end of its line");
            }
            if (s_[i_] == '\\') {
                out_.append(s_, i_, 2);
                i_ += 2;
            } else if (b >= 0x80 && narrow) {
                std::size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
                for (char c : ToCp932(s_.substr(i_, length))) {
                    out_ += OctalEscape(static_cast<unsigned char>(c));
                }
                i_ += length;
            } else {
                out_ += s_[i_++];
            }
        }
        if (i_ < s_.size()) {
            out_ += s_[i_++];
        }
    }

    void RawLiteral(bool narrow)
    {
        const std::size_t open = s_.find('(', i_);
        if (open == std::string::npos) {
            throw std::runtime_error("a raw literal without its opening parenthesis");
        }
        const std::string close = ")" + s_.substr(i_ + 1, open - i_ - 1) + "\"";
        const std::size_t end = s_.find(close, open);
        if (end == std::string::npos) {
            throw std::runtime_error("a raw literal without its end");
        }
        const std::size_t next = end + close.size();
        for (std::size_t k = i_; k < next && narrow; ++k) {
            if (static_cast<unsigned char>(s_[k]) >= 0x80) {
                throw std::runtime_error("a raw narrow literal holds a character beyond ASCII");
            }
        }
        out_.append(s_, i_, next - i_);
        i_ = next;
    }

    const std::string& s_;
    std::size_t i_ = 0;
    std::string out_;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s IN OUT\n", argv[0]);
        return 2;
    }
    try {
        std::ifstream in(argv[1], std::ios::binary);
        if (!in) {
            throw std::runtime_error("cannot read it");
        }
        const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::string result = Transcoder(source).Run();
        const std::filesystem::path out(argv[2]);
        std::filesystem::create_directories(out.parent_path());
        std::ofstream file(out, std::ios::binary | std::ios::trunc);
        file << result;
        if (!file.flush()) {
            throw std::runtime_error(std::string("cannot write ") + argv[2]);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[1], e.what());
        return 1;
    }
    return 0;
}
