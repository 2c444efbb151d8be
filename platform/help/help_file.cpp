#include "platform/help/help_file.h"

#include <string_view>

#include "platform/kernel/ascii_text.h"

namespace {

using ascii::IsBlank;
using ascii::Trim;

bool IsIdChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
}

// Splits "word rest" at the first blank; the word must be a valid id.
bool SplitId(std::string_view s, std::string_view* id, std::string_view* rest) {
    size_t n = 0;
    while (n < s.size() && IsIdChar(s[n])) ++n;
    if (n == 0 || (n < s.size() && !IsBlank(s[n]))) return false;
    *id = s.substr(0, n);
    *rest = Trim(s.substr(n));
    return true;
}

std::string CleanText(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    }
    return out;
}

class Parser {
public:
    HelpFile Parse(const std::string& text) {
        size_t pos = 0;
        while (pos < text.size()) {
            const size_t lf = text.find('\n', pos);
            const size_t end = lf == std::string::npos ? text.size() : lf;
            ++lineNumber_;
            Line(std::string_view(text).substr(pos, end - pos));
            pos = end + 1;
        }
        CheckLinks();
        return std::move(file_);
    }

private:
    void Problem(std::string message) {
        file_.problems.push_back({lineNumber_, std::move(message)});
    }

    void Line(std::string_view raw) {
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        if (!raw.empty() && raw.front() == '#') return;
        // Control characters become blanks first, so trimming takes them too.
        const std::string cleaned = CleanText(raw);
        const std::string_view line = Trim(cleaned);
        if (line.empty()) {
            open_ = nullptr;
            return;
        }
        if (line.front() == '@') return Directive(line);
        if (!topic_) {
            if (!skipping_) Problem("text outside a topic");
            skipping_ = true;
            return;
        }
        if (line.front() == '\\') return Text(line.substr(1));
        if (line.front() == '*' && (line.size() == 1 || IsBlank(line[1]))) {
            return Start(HelpBlockKind::Bullet, Trim(line.substr(1)));
        }
        if (line.front() == '>') return Link(Trim(line.substr(1)));
        if (line.front() == '|') return Verbatim(line.substr(1));
        Text(line);
    }

    void Directive(std::string_view line) {
        open_ = nullptr;
        const std::string_view topicWord = "@topic";
        if (line.substr(0, topicWord.size()) != topicWord ||
            (line.size() > topicWord.size() && !IsBlank(line[topicWord.size()]))) {
            Problem("unknown line starting with '@'");
            return;
        }
        // Until a good @topic, everything that follows has no home.
        topic_ = nullptr;
        skipping_ = true;
        std::string_view id, title;
        if (!SplitId(Trim(line.substr(topicWord.size())), &id, &title)) {
            Problem("@topic needs an id of letters, digits, '-' or '_'");
            return;
        }
        if (FindHelpTopic(file_, std::string(id))) {
            Problem("topic id used before: " + std::string(id));
            return;
        }
        file_.topics.push_back({std::string(id), std::string(title.empty() ? id : title), {}});
        topic_ = &file_.topics.back();
        skipping_ = false;
    }

    void Start(HelpBlockKind kind, std::string_view text) {
        topic_->blocks.push_back({kind, std::string(text)});
        open_ = &topic_->blocks.back();
    }

    void Text(std::string_view text) {
        if (!open_) return Start(HelpBlockKind::Paragraph, text);
        if (!open_->text.empty()) open_->text += ' ';
        open_->text += text;
    }

    void Verbatim(std::string_view text) {
        if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
        topic_->blocks.push_back({HelpBlockKind::Verbatim, std::string(text)});
        open_ = nullptr;
    }

    void Link(std::string_view target) {
        open_ = nullptr;
        std::string_view id, rest;
        if (!SplitId(target, &id, &rest) || !rest.empty()) {
            Problem("a link needs one topic id");
            return;
        }
        topic_->blocks.push_back({HelpBlockKind::Link, std::string(id)});
        linkLines_.push_back(lineNumber_);
    }

    // Links may point forward, so they are checked once every topic is known.
    void CheckLinks() {
        size_t next = 0;
        for (HelpTopic& topic : file_.topics) {
            std::vector<HelpBlock> kept;
            for (HelpBlock& block : topic.blocks) {
                if (block.kind == HelpBlockKind::Link) {
                    const int line = linkLines_[next++];
                    if (!FindHelpTopic(file_, block.text)) {
                        file_.problems.push_back({line, "link to no topic: " + block.text});
                        continue;
                    }
                }
                kept.push_back(std::move(block));
            }
            topic.blocks = std::move(kept);
        }
    }

    HelpFile file_;
    HelpTopic* topic_ = nullptr;  // the topic being read; null outside one
    HelpBlock* open_ = nullptr;   // the paragraph or bullet that text continues
    bool skipping_ = false;       // a problem for homeless text is noted once
    int lineNumber_ = 0;
    std::vector<int> linkLines_;  // line of each link, in file order
};

}  // namespace

HelpFile ParseHelpFile(const std::string& text) { return Parser().Parse(text); }

const HelpTopic* FindHelpTopic(const HelpFile& file, const std::string& id) {
    for (const HelpTopic& topic : file.topics) {
        if (ascii::SameName(topic.id, id)) return &topic;
    }
    return nullptr;
}
