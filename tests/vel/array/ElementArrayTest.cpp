#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"
#include "vel/array/ElementArray.h"

namespace {

// Records the order in which elements go away.
class Element : public ReferenceImpl {
public:
    Element(int id, std::vector<int>* gone) : m_id(id), m_gone(gone) {}
    ~Element() override { m_gone->push_back(m_id); }

    int m_id;
    std::vector<int>* m_gone;
};

TEST(ElementArrayTest, HoldsItsOwnReferencesAndIgnoresLaterChanges) {
    std::vector<int> gone;
    ElementVector vector = ElementVector::create();
    for (int id = 1; id <= 3; ++id) {
        auto* e = new Element(id, &gone);
        vector.add(e);
        e->release();
    }
    {
        ElementArray array(vector);
        vector.clear();  // the vector lets go; the snapshot still holds every element
        EXPECT_TRUE(gone.empty());
        ASSERT_EQ(array.length(), 3);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(static_cast<Element*>(static_cast<ReferenceImpl*>(array.get(i)))->m_id, i + 1);
            EXPECT_EQ(static_cast<ReferenceImpl*>(array.get(i))->references(), 1);
        }
    }
    EXPECT_EQ(gone, (std::vector<int>{3, 2, 1}));  // released from the last to the first
}

TEST(ElementArrayTest, AccessOutsideIsABrokenInvariantAndYieldsNothing) {
    BaseValuesTest::takeAssertions();
    ElementVector vector = ElementVector::create();
    ElementArray empty(vector);
    EXPECT_EQ(empty.length(), 0);
    EXPECT_EQ(empty.get(0), nullptr);
    EXPECT_EQ(empty.get(-1), nullptr);
    EXPECT_EQ(
        BaseValuesTest::takeAssertions(),
        (std::vector<std::string>{"0 <= index && index < m->m_length", "0 <= index && index < m->m_length"}));
}

}  // namespace
