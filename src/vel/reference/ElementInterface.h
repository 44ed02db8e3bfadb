#pragma once

// The root of every engine object and of every interface an engine object offers. Every
// interface adds its operations after these four; an object with several interfaces forwards the
// four of each to its own (REFERENCE_IMPL_FORWARDS), so all share the object's one count.
class ElementInterface {
public:
    virtual void addRef() = 0;
    virtual void release() = 0;
    // A second release entry with the same effect.
    virtual void release2() = 0;
    // Drops the references the object holds to others, to break cycles before the last release.
    virtual void clearReferences() = 0;

    // Takes a reference to p into an empty destination (p must be set).
    static void copyReference(ElementInterface** destination, ElementInterface* p);
    // The same, accepting a null source.
    static void copyNullableReference(ElementInterface** destination, ElementInterface* p);
    static void addRefIfSet(ElementInterface* p);
    static void releaseIfSet(ElementInterface* p);
    // Releases p, which must be set.
    static void releaseReference(ElementInterface* p);

protected:
    ~ElementInterface() = default;
};
