// Help files: plain text in a small format of our own, read whole into
// topics that the help viewer shows.
//
// The format, line by line (a line ends with LF or CR LF):
//
//   # ...              a comment, ignored ('#' in the first column only)
//   @topic id Title    starts a topic. id is one word of letters, digits, '-'
//                      and '_', matched without regard to case; the rest of
//                      the line is the title (the id when there is none).
//                      The first topic is the contents, shown when help is
//                      opened at its index.
//   > id               a link to another topic, shown as that topic's title
//   * text             starts a bullet
//   | text             one line shown as it is, not joined to any other
//                      (file contents, examples); "|" alone is an empty one
//   (blank line)       ends the paragraph or bullet before it
//   any other line     text: continues the paragraph or bullet above it, or
//                      starts a paragraph. Lines are joined with one space,
//                      so the viewer is free to wrap them.
//   \text              text, whatever it starts with: "\* not a bullet"
//
// Lines are trimmed of blanks (a verbatim line keeps the blanks after the
// "| "); control characters in text become spaces.
// Nothing is fatal: anything out of place (text before the first topic, an
// unknown @ line, a topic without an id or with an id used before, a link
// to no topic) is left out and noted in problems, so a damaged file still
// shows what it can.
#pragma once

#include <string>
#include <vector>

enum class HelpBlockKind { Paragraph, Bullet, Verbatim, Link };

struct HelpBlock {
    HelpBlockKind kind;
    std::string text;  // for a link, the id of the topic it leads to
};

struct HelpTopic {
    std::string id;
    std::string title;
    std::vector<HelpBlock> blocks;
};

struct HelpProblem {
    int line;  // counted from 1
    std::string message;
};

struct HelpFile {
    std::vector<HelpTopic> topics;
    std::vector<HelpProblem> problems;
};

HelpFile ParseHelpFile(const std::string& text);

// The topic with this id, or null.
const HelpTopic* FindHelpTopic(const HelpFile& file, const std::string& id);
