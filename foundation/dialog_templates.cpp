#include "foundation/dialog_templates.h"

#include "foundation/screen_metrics.h"

#include <array>

namespace {

struct Twins {
    int design;
    int landscape;
    int portrait;
};

// Design id with its landscape and portrait twins. 714/717 and 715/716 cross
// over on purpose.
constexpr std::array<Twins, 50> kTwins { {
    { 201, 887, 961 },
    { 203, 924, 947 },
    { 210, 923, 949 },
    { 211, 902, 987 },
    { 212, 922, 948 },
    { 213, 930, 981 },
    { 504, 880, 939 },
    { 505, 919, 976 },
    { 506, 918, 937 },
    { 710, 873, 946 },
    { 714, 717, 933 },
    { 715, 716, 941 },
    { 718, 921, 950 },
    { 719, 876, 938 },
    { 720, 901, 952 },
    { 721, 906, 951 },
    { 723, 874, 940 },
    { 724, 897, 975 },
    { 747, 925, 980 },
    { 748, 888, 935 },
    { 749, 875, 936 },
    { 767, 920, 934 },
    { 768, 916, 942 },
    { 777, 886, 960 },
    { 787, 893, 955 },
    { 788, 892, 956 },
    { 794, 877, 932 },
    { 796, 889, 954 },
    { 798, 917, 965 },
    { 799, 900, 973 },
    { 800, 909, 972 },
    { 801, 910, 971 },
    { 802, 911, 970 },
    { 803, 912, 969 },
    { 804, 913, 968 },
    { 805, 914, 967 },
    { 806, 915, 931 },
    { 807, 903, 982 },
    { 808, 904, 983 },
    { 809, 905, 984 },
    { 810, 907, 974 },
    { 811, 894, 964 },
    { 814, 898, 959 },
    { 815, 899, 957 },
    { 816, 885, 945 },
    { 817, 884, 944 },
    { 848, 908, 988 },
    { 849, 872, 943 },
    { 850, 926, 966 },
    { 855, 895, 958 },
} };

} // namespace

int GetLandscapeDialogId(int id)
{
    for (const Twins& t : kTwins)
        if (t.design == id || t.portrait == id)
            return t.landscape;
    return id;
}

int GetPortraitDialogId(int id)
{
    for (const Twins& t : kTwins)
        if (t.design == id || t.landscape == id)
            return t.portrait;
    return id;
}

int GetOrientedDialogId(int id)
{
    switch (GetEffectiveOrientation()) {
    case ORIENT_PORTRAIT:
    case ORIENT_SQUARE:
        return GetPortraitDialogId(id);
    case ORIENT_LANDSCAPE:
        return GetLandscapeDialogId(id);
    default:
        return id;
    }
}
