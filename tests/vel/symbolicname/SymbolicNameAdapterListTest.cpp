#include <gtest/gtest.h>

#include "tests/vel/adapter/AdapterTestSupport.h"
#include "vel/symbolicname/SymbolicNameAdapterList.h"

namespace tamsel::test {
namespace {

class RecordingListSubscriberImpl : public ReferenceImpl, public AdapterListSubscriberInterface {
public:
    REFERENCE_IMPL_FORWARDS
    void newAdapter(const VelAdapter& adapter) override {
        announced.emplace_back(adapter.symbolicName().text());
    }
    std::vector<std::string> announced;
};

// One list from the library after another: which adapters are announced, which hear that their
// name is bound or unbound, and the order of the entries afterwards.
struct Step {
    std::vector<std::string> names;
    std::vector<std::string> announced;
    std::vector<std::string> bound;
    std::vector<std::string> unbound;
    std::vector<std::string> order;
};

class AdapterListTest : public AdapterTest {
protected:
    // The notices each adapter logged since the last call.
    std::vector<std::string> notices(const std::string& what) {
        std::vector<std::string> adapters;
        for (const std::string& line : tail()) {
            size_t at = line.find(": symbolic name " + what);
            if (at == std::string::npos || line.find("probably") != std::string::npos) continue;
            size_t brace = line.rfind('{', at);
            adapters.push_back(letterOf(line.substr(brace, at - brace)));
        }
        return adapters;
    }
    std::vector<std::string> tail() {
        std::vector<std::string> lines = readLines(root.log());
        if (lines.size() < m_seen) return {};
        return std::vector<std::string>(lines.begin() + static_cast<long>(m_seen), lines.end());
    }
    static std::string nameOf(const std::string& letter) { return LabBuilder::guid(letter[0] - 'A' + 1); }
    static std::string letterOf(const std::string& name) {
        for (char letter : {'A', 'B', 'C'})
            if (nameOf(std::string(1, letter)) == name) return std::string(1, letter);
        return "?";
    }
    size_t m_seen = 0;
};

TEST_F(AdapterListTest, ListsMakeEachAdapterOnceAndTellItWhetherItsNameIsThere) {
    LabBuilder lab;
    lab.wiredAdapter(1, "A").wiredAdapter(2, "B").wirelessAdapter(3, "C");
    startLab(lab);
    SymbolicNameAdapterList list = SymbolicNameAdapterList::create();
    auto* subscriber = new RecordingListSubscriberImpl;
    list.addSubscriber(subscriber);

    const Step steps[] = {
        {{"A", "B"}, {"A", "B"}, {"A", "B"}, {}, {"A", "B"}},
        {{"A", "B"}, {}, {"A", "B"}, {}, {"A", "B"}},
        // A vanished name keeps its adapter, behind the names of the list.
        {{"B"}, {}, {"B"}, {"A"}, {"B", "A"}},
        // A name that comes back finds its adapter and is not announced again.
        {{"A", "B"}, {}, {"A", "B"}, {}, {"A", "B"}},
        {{"C", "A"}, {"C"}, {"C", "A"}, {"B"}, {"C", "A", "B"}},
        {{}, {}, {}, {"C", "A", "B"}, {"C", "A", "B"}},
    };
    std::vector<VelAdapter> first;
    for (size_t i = 0; i < std::size(steps); ++i) {
        const Step& step = steps[i];
        m_seen = readLines(root.log()).size();
        subscriber->announced.clear();
        AsciiVector names;
        for (const std::string& name : step.names) names.add(nameOf(name).c_str());
        list.applyNameList(names);

        EXPECT_EQ(subscriber->announced.size(), step.announced.size()) << "step " << i;
        for (size_t k = 0; k < subscriber->announced.size() && k < step.announced.size(); ++k)
            EXPECT_EQ(letterOf(subscriber->announced[k]), step.announced[k]) << "step " << i;
        EXPECT_EQ(notices("bound"), step.bound) << "step " << i;
        EXPECT_EQ(notices("unbound"), step.unbound) << "step " << i;
        std::vector<std::string> order;
        for (const VelAdapter& adapter : list.adapters())
            order.push_back(letterOf(adapter.symbolicName().text()));
        EXPECT_EQ(order, step.order) << "step " << i;
        if (i == 0) first = list.adapters();
    }
    // The same objects throughout.
    std::vector<VelAdapter> last = list.adapters();
    EXPECT_EQ(last[1], first[0]);
    EXPECT_EQ(last[2], first[1]);

    list.clearReferences();
    subscriber->release();
    first.clear();
    last.clear();
}

}  // namespace
}  // namespace tamsel::test
