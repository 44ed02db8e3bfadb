#pragma once

#include <cstddef>

// One "[name=value]" item printed in front of a log message.
class Tag {
public:
    Tag(const char* name, const char* value) : m_name(name), m_value(value) {}
    virtual ~Tag() = default;

    // Writes the tag into buffer (always terminated) and returns the characters written;
    // a tag without name or value prints nothing; one that does not fit whole prints nothing and
    // returns -1.
    virtual int print(char* buffer, size_t size) const;

protected:
    const char* m_name;
    const char* m_value;
};

// The calling thread's number in log lines and dumps: ostrum's, as its trace lines show it. Safe in a
// signal handler.
unsigned long logThreadNumber();

// The calling thread's id, printed in every log line header.
class TagTID : public Tag {
public:
    TagTID();

private:
    char m_text[24];
};

// Up to MAX_TAGS tags printed one after another and closed by ':', as the thread tag of a line
// without tags is. A tag that fails ends the printing with nothing printed. The tags are borrowed:
// they must outlive the log call they are passed to.
class Tags {
public:
    static constexpr int MAX_TAGS = 20;
    static constexpr size_t RESERVE = 2;

    Tags() = default;
    explicit Tags(const Tag& tag) { add(tag); }
    Tags(const Tag& first, const Tag& second) {
        add(first);
        add(second);
    }

    // Returns false when the list is full; the tag is then left out.
    bool add(const Tag& tag);
    int count() const { return m_count; }
    int print(char* buffer, size_t size) const;

private:
    const Tag* m_tags[MAX_TAGS] = {};
    int m_count = 0;
};
