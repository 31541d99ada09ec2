#include "tools/DemoWords.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

namespace tools::words {

namespace {

// Streets of the towns whose streets are not the mainland's common names.
const Road kHongkongRoads[] = {{"皇后大道中", "Queen's Road Central"},
                               {"弥敦道", "Nathan Road"},
                               {"轩尼诗道", "Hennessy Road"},
                               {"德辅道中", "Des Voeux Road Central"}};
const Road kTaipeiRoads[] = {{"忠孝东路", "Zhongxiao East Road"},
                             {"中山北路", "Zhongshan North Road"},
                             {"信义路", "Xinyi Road"},
                             {"南京东路", "Nanjing East Road"}};
const Road kKaohsiungRoads[] = {{"中正路", "Zhongzheng Road"},
                                {"民族路", "Minzu Road"},
                                {"五福路", "Wufu Road"},
                                {"博爱路", "Bo'ai Road"}};

// Towns by region, each with districts that lie in it. The cities that the
// tree lists on their own are their own single place.
const Place kBeijing[] = {
    {"北京市", "Beijing", "010", "100000", "东城区 西城区 朝阳区 海淀区 丰台区 石景山区 通州区"}};
const Place kGuangzhou[] = {
    {"广州市", "Guangzhou", "020", "510000", "越秀区 海珠区 荔湾区 天河区 白云区 黄埔区 番禺区"}};
const Place kShanghai[] = {
    {"上海市", "Shanghai", "021", "200000", "黄浦区 徐汇区 长宁区 静安区 普陀区 浦东新区 闵行区"}};
const Place kTianjin[] = {
    {"天津市", "Tianjin", "022", "300000", "和平区 河西区 南开区 河东区 红桥区 滨海新区"}};
const Place kChongqing[] = {
    {"重庆市", "Chongqing", "023", "400000", "渝中区 江北区 沙坪坝区 九龙坡区 南岸区 渝北区"}};
const Place kShenyang[] = {{"沈阳市", "Shenyang", "024", "110000", "和平区 沈河区 皇姑区 大东区 铁西区"}};
const Place kNanjing[] = {
    {"南京市", "Nanjing", "025", "210000", "玄武区 秦淮区 鼓楼区 建邺区 栖霞区 江宁区"}};
const Place kWuhan[] = {{"武汉市", "Wuhan", "027", "430000", "江岸区 江汉区 硚口区 武昌区 洪山区 汉阳区"}};
const Place kChengdu[] = {{"成都市", "Chengdu", "028", "610000", "锦江区 青羊区 金牛区 武侯区 成华区"}};
const Place kXian[] = {{"西安市", "Xi'an", "029", "710000", "新城区 碑林区 莲湖区 雁塔区 未央区 灞桥区"}};

const Place kAnhui[] = {{"合肥市", "Hefei", "0551", "230000", "庐阳区 蜀山区 包河区 瑶海区"},
                        {"芜湖市", "Wuhu", "0553", "241000", "镜湖区 弋江区 鸠江区"}};
const Place kFujian[] = {{"福州市", "Fuzhou", "0591", "350000", "鼓楼区 台江区 仓山区 晋安区"},
                         {"厦门市", "Xiamen", "0592", "361000", "思明区 湖里区 集美区 海沧区"}};
const Place kGansu[] = {{"兰州市", "Lanzhou", "0931", "730000", "城关区 七里河区 安宁区 西固区"},
                        {"天水市", "Tianshui", "0938", "741000", "秦州区 麦积区"}};
const Place kGuangdong[] = {{"深圳市", "Shenzhen", "0755", "518000", "福田区 罗湖区 南山区 宝安区 龙岗区"},
                            {"佛山市", "Foshan", "0757", "528000", "禅城区 南海区 顺德区"},
                            {"东莞市", "Dongguan", "0769", "523000", "莞城街道 南城街道 长安镇 虎门镇"}};
const Place kGuangxi[] = {{"南宁市", "Nanning", "0771", "530000", "青秀区 兴宁区 西乡塘区 江南区"},
                          {"桂林市", "Guilin", "0773", "541000", "秀峰区 象山区 七星区 叠彩区"}};
const Place kGuizhou[] = {{"贵阳市", "Guiyang", "0851", "550000", "南明区 云岩区 花溪区"},
                          {"遵义市", "Zunyi", "0852", "563000", "红花岗区 汇川区"}};
const Place kHenan[] = {{"郑州市", "Zhengzhou", "0371", "450000", "金水区 中原区 二七区 管城回族区"},
                        {"洛阳市", "Luoyang", "0379", "471000", "西工区 老城区 涧西区 洛龙区"}};
const Place kHebei[] = {{"石家庄市", "Shijiazhuang", "0311", "050000", "长安区 桥西区 新华区 裕华区"},
                        {"唐山市", "Tangshan", "0315", "063000", "路南区 路北区 丰南区"}};
const Place kHeilongjiang[] = {{"哈尔滨市", "Harbin", "0451", "150000", "道里区 南岗区 道外区 香坊区"},
                               {"大庆市", "Daqing", "0459", "163000", "萨尔图区 让胡路区 龙凤区"}};
const Place kHunan[] = {{"长沙市", "Changsha", "0731", "410000", "芙蓉区 天心区 岳麓区 开福区 雨花区"},
                        {"株洲市", "Zhuzhou", "0733", "412000", "天元区 芦淞区 荷塘区"}};
const Place kHubei[] = {{"宜昌市", "Yichang", "0717", "443000", "西陵区 伍家岗区 点军区"},
                        {"襄樊市", "Xiangfan", "0710", "441000", "襄城区 樊城区 襄阳区"}};
const Place kHainan[] = {{"海口市", "Haikou", "0898", "570000", "龙华区 美兰区 秀英区 琼山区"},
                         {"三亚市", "Sanya", "0898", "572000", "凤凰镇 田独镇 崖城镇"}};
const Place kJilin[] = {{"长春市", "Changchun", "0431", "130000", "朝阳区 南关区 宽城区 绿园区"},
                        {"吉林市", "Jilin", "0432", "132000", "船营区 昌邑区 龙潭区 丰满区"}};
const Place kJiangsu[] = {{"苏州市", "Suzhou", "0512", "215000", "吴中区 相城区 虎丘区"},
                          {"无锡市", "Wuxi", "0510", "214000", "滨湖区 北塘区 南长区"},
                          {"常州市", "Changzhou", "0519", "213000", "天宁区 钟楼区 武进区 新北区"}};
const Place kJiangxi[] = {{"南昌市", "Nanchang", "0791", "330000", "东湖区 西湖区 青云谱区 青山湖区"},
                          {"九江市", "Jiujiang", "0792", "332000", "浔阳区 庐山区"}};
const Place kLiaoning[] = {{"大连市", "Dalian", "0411", "116000", "中山区 西岗区 沙河口区 甘井子区"},
                           {"鞍山市", "Anshan", "0412", "114000", "铁东区 铁西区 立山区"}};
const Place kNeimenggu[] = {{"呼和浩特市", "Hohhot", "0471", "010000", "新城区 回民区 玉泉区 赛罕区"},
                            {"包头市", "Baotou", "0472", "014000", "昆都仑区 青山区 东河区"}};
const Place kNingxia[] = {{"银川市", "Yinchuan", "0951", "750000", "兴庆区 金凤区 西夏区"},
                          {"石嘴山市", "Shizuishan", "0952", "753000", "大武口区 惠农区"}};
const Place kQinghai[] = {{"西宁市", "Xining", "0971", "810000", "城东区 城中区 城西区 城北区"},
                          {"格尔木市", "Golmud", "0979", "816000", "河西街道 河东街道 昆仑路街道"}};
const Place kShandong[] = {{"济南市", "Jinan", "0531", "250000", "历下区 市中区 槐荫区 天桥区 历城区"},
                           {"青岛市", "Qingdao", "0532", "266000", "市南区 市北区 崂山区 李沧区 城阳区"},
                           {"烟台市", "Yantai", "0535", "264000", "芝罘区 莱山区 福山区 牟平区"}};
const Place kShanxi[] = {{"太原市", "Taiyuan", "0351", "030000", "小店区 迎泽区 杏花岭区 万柏林区"},
                         {"大同市", "Datong", "0352", "037000", "城区 南郊区"}};
const Place kShaanxi[] = {{"宝鸡市", "Baoji", "0917", "721000", "渭滨区 金台区 陈仓区"},
                          {"咸阳市", "Xianyang", "0910", "712000", "秦都区 渭城区 杨陵区"}};
const Place kSichuan[] = {{"绵阳市", "Mianyang", "0816", "621000", "涪城区 游仙区"},
                          {"德阳市", "Deyang", "0838", "618000", "旌阳区"}};
const Place kXizang[] = {{"拉萨市", "Lhasa", "0891", "850000", "城关区"},
                         {"日喀则市", "Xigaze", "0892", "857000", "城北街道 城南街道"}};
const Place kXinjiang[] = {{"乌鲁木齐市", "Urumqi", "0991", "830000", "天山区 沙依巴克区 新市区 水磨沟区"},
                           {"克拉玛依市", "Karamay", "0990", "834000", "克拉玛依区 独山子区 白碱滩区"}};
const Place kYunnan[] = {{"昆明市", "Kunming", "0871", "650000", "五华区 盘龙区 官渡区 西山区"},
                         {"大理市", "Dali", "0872", "671000", "下关镇 大理镇"}};
const Place kZhejiang[] = {
    {"杭州市", "Hangzhou", "0571", "310000", "上城区 下城区 拱墅区 西湖区 滨江区 萧山区"},
    {"宁波市", "Ningbo", "0574", "315000", "海曙区 江东区 江北区 鄞州区 北仑区"},
    {"温州市", "Wenzhou", "0577", "325000", "鹿城区 龙湾区 瓯海区"}};
const Place kHongkong[] = {
    {"香港", "Hong Kong", "00852", "", "中西区 湾仔区 油尖旺区 观塘区 荃湾区", kHongkongRoads}};
const Place kTaiwan[] = {
    {"台北市", "Taipei", "00886-2", "100", "中正区 大安区 信义区 松山区 内湖区", kTaipeiRoads},
    {"高雄市", "Kaohsiung", "00886-7", "800", "前镇区 苓雅区 新兴区 三民区", kKaohsiungRoads}};

const Region kTree[] = {
    {"北京市", "", kBeijing},
    {"广州市", "", kGuangzhou},
    {"上海市", "", kShanghai},
    {"天津市", "", kTianjin},
    {"重庆市", "", kChongqing},
    {"沈阳市", "", kShenyang},
    {"南京市", "", kNanjing},
    {"武汉市", "", kWuhan},
    {"成都市", "", kChengdu},
    {"西安市", "", kXian},
    {"安徽省", "Anhui", kAnhui},
    {"福建省", "Fujian", kFujian},
    {"甘肃省", "Gansu", kGansu},
    {"广东省", "Guangdong", kGuangdong},
    {"广西壮族自治区", "Guangxi", kGuangxi},
    {"贵州省", "Guizhou", kGuizhou},
    {"河南省", "Henan", kHenan},
    {"河北省", "Hebei", kHebei},
    {"黑龙江省", "Heilongjiang", kHeilongjiang},
    {"湖南省", "Hunan", kHunan},
    {"湖北省", "Hubei", kHubei},
    {"海南省", "Hainan", kHainan},
    {"吉林省", "Jilin", kJilin},
    {"江苏省", "Jiangsu", kJiangsu},
    {"江西省", "Jiangxi", kJiangxi},
    {"辽宁省", "Liaoning", kLiaoning},
    {"内蒙古自治区", "Inner Mongolia", kNeimenggu},
    {"宁夏回族自治区", "Ningxia", kNingxia},
    {"青海省", "Qinghai", kQinghai},
    {"山东省", "Shandong", kShandong},
    {"山西省", "Shanxi", kShanxi},
    {"陕西省", "Shaanxi", kShaanxi},
    {"四川省", "Sichuan", kSichuan},
    {"西藏自治区", "Tibet", kXizang},
    {"新疆维吾尔自治区", "Xinjiang", kXinjiang},
    {"云南省", "Yunnan", kYunnan},
    {"浙江省", "Zhejiang", kZhejiang},
    {"香港自治区", "", kHongkong},
    {"台湾省", "Taiwan", kTaiwan},
};

const char *const kElectronics[] = {"电子元器件", "电源适配器", "开关电源",
                                    "印刷电路板", "LED显示屏",  "电线电缆"};
const char *const kMachinery[] = {"数控机床", "液压泵", "减速机", "阀门", "轴承", "包装机械"};
const char *const kChemical[] = {"涂料", "胶粘剂", "化肥", "塑料助剂", "工业清洗剂", "染料"};
const char *const kTextile[] = {"棉纱", "针织面料", "牛仔布", "羊毛衫", "床上用品", "工作服"};
const char *const kFood[] = {"茶叶", "方便面", "调味品", "饮料", "糕点", "冷冻食品"};
const char *const kBuilding[] = {"水泥", "瓷砖", "铝合金门窗", "防水材料", "石材", "卫浴洁具"};
const char *const kMedicine[] = {"中成药", "医用敷料", "保健品", "原料药", "医疗器械"};
const char *const kSoftware[] = {"管理软件", "系统集成", "网站建设", "电子商务平台", "财务软件"};
const char *const kCrafts[] = {"工艺礼品", "玩具", "陶瓷工艺品", "竹木制品", "圣诞用品"};
const char *const kAuto[] = {"汽车配件", "摩托车", "刹车片", "汽车音响", "轮胎"};
const char *const kPrinting[] = {"纸箱", "不干胶标签", "彩色印刷", "包装袋", "办公用纸"};
const char *const kTrade[] = {"进出口代理", "日用百货", "五金工具", "小家电", "服装"};

const Category kCategories[] = {
    {"电子电器", "0103", "电子", "Electronics", kElectronics},
    {"机械设备", "0201", "机械", "Machinery", kMachinery},
    {"化工原料", "0305", "化工", "Chemical", kChemical},
    {"纺织服装", "0402", "纺织", "Textile", kTextile},
    {"食品饮料", "0501", "食品", "Food", kFood},
    {"建筑材料", "0604", "建材", "Building Materials", kBuilding},
    {"医药保健", "0702", "医药", "Pharmaceutical", kMedicine},
    {"计算机软件", "0810", "软件", "Software", kSoftware},
    {"工艺礼品", "0903", "工艺品", "Arts & Crafts", kCrafts},
    {"汽车配件", "1006", "汽车配件", "Auto Parts", kAuto},
    {"包装印刷", "1102", "印务", "Printing", kPrinting},
    {"贸易公司", "1201", "贸易", "Trading", kTrade},
};

const Brand kBrands[] = {
    {"华远", "huayuan"},    {"东方", "dongfang"}, {"恒通", "hengtong"},   {"金鹰", "jinying"},
    {"宏达", "hongda"},     {"新兴", "xinxing"},  {"天诚", "tiancheng"},  {"长江", "changjiang"},
    {"永泰", "yongtai"},    {"瑞丰", "ruifeng"},  {"华美", "huamei"},     {"振华", "zhenhua"},
    {"盛世", "shengshi"},   {"嘉禾", "jiahe"},    {"鸿运", "hongyun"},    {"联合", "lianhe"},
    {"星光", "xingguang"},  {"安泰", "antai"},    {"明珠", "mingzhu"},    {"国泰", "guotai"},
    {"海鑫", "haixin"},     {"德力", "deli"},     {"金龙", "jinlong"},    {"富康", "fukang"},
    {"三友", "sanyou"},     {"万家", "wanjia"},   {"新世纪", "xinshiji"}, {"远大", "yuanda"},
    {"同创", "tongchuang"}, {"正大", "zhengda"},  {"光明", "guangming"},  {"宝丰", "baofeng"},
    {"凯达", "kaida"},      {"华信", "huaxin"},   {"通达", "tongda"},     {"昌盛", "changsheng"},
    {"和平", "heping"},     {"康泰", "kangtai"},  {"利民", "limin"},      {"兴旺", "xingwang"},
    {"中天", "zhongtian"},  {"金桥", "jinqiao"},  {"大地", "dadi"},       {"蓝天", "lantian"},
    {"神州", "shenzhou"},   {"银河", "yinhe"},    {"创新", "chuangxin"},  {"博远", "boyuan"},
};

const Brand kSyllables[] = {
    {"华", "hua"},   {"远", "yuan"},   {"东", "dong"},  {"方", "fang"},  {"恒", "heng"},  {"通", "tong"},
    {"金", "jin"},   {"鹰", "ying"},   {"宏", "hong"},  {"达", "da"},    {"新", "xin"},   {"兴", "xing"},
    {"天", "tian"},  {"诚", "cheng"},  {"长", "chang"}, {"江", "jiang"}, {"永", "yong"},  {"泰", "tai"},
    {"瑞", "rui"},   {"丰", "feng"},   {"美", "mei"},   {"振", "zhen"},  {"盛", "sheng"}, {"世", "shi"},
    {"嘉", "jia"},   {"禾", "he"},     {"鸿", "hong"},  {"运", "yun"},   {"联", "lian"},  {"合", "he"},
    {"星", "xing"},  {"光", "guang"},  {"安", "an"},    {"明", "ming"},  {"珠", "zhu"},   {"国", "guo"},
    {"海", "hai"},   {"鑫", "xin"},    {"德", "de"},    {"力", "li"},    {"龙", "long"},  {"富", "fu"},
    {"康", "kang"},  {"三", "san"},    {"友", "you"},   {"万", "wan"},   {"家", "jia"},   {"大", "da"},
    {"同", "tong"},  {"创", "chuang"}, {"正", "zheng"}, {"宝", "bao"},   {"凯", "kai"},   {"信", "xin"},
    {"昌", "chang"}, {"和", "he"},     {"平", "ping"},  {"利", "li"},    {"民", "min"},   {"旺", "wang"},
    {"中", "zhong"}, {"桥", "qiao"},   {"地", "di"},    {"蓝", "lan"},   {"神", "shen"},  {"州", "zhou"},
    {"银", "yin"},   {"河", "he"},     {"博", "bo"},    {"众", "zhong"}, {"益", "yi"},    {"源", "yuan"},
    {"峰", "feng"},  {"晶", "jing"},   {"润", "run"},   {"鼎", "ding"},  {"锦", "jin"},   {"豪", "hao"},
    {"宇", "yu"},    {"航", "hang"},   {"荣", "rong"},  {"祥", "xiang"}, {"泉", "quan"},  {"佳", "jia"},
};

const Road kRoads[] = {
    {"人民路", "Renmin Road"},   {"解放路", "Jiefang Road"},      {"中山路", "Zhongshan Road"},
    {"建设路", "Jianshe Road"},  {"和平路", "Heping Road"},       {"长江路", "Changjiang Road"},
    {"新华路", "Xinhua Road"},   {"文化路", "Wenhua Road"},       {"工业路", "Gongye Road"},
    {"朝阳路", "Chaoyang Road"}, {"东风路", "Dongfeng Road"},     {"胜利路", "Shengli Road"},
    {"黄河路", "Huanghe Road"},  {"光明路", "Guangming Road"},    {"学院路", "Xueyuan Road"},
    {"科技大道", "Keji Avenue"}, {"滨江大道", "Binjiang Avenue"}, {"开发大道", "Kaifa Avenue"},
};

const char *const kSuffixes[] = {"有限公司",     "有限公司",     "有限责任公司", "股份有限公司",
                                 "集团有限公司", "实业有限公司", "厂",           "制品厂"};
const char *const kSurnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴",   "周",  "徐",
                                 "孙", "马", "朱", "胡", "郭", "何", "高", "林", "罗",   "郑",  "梁",
                                 "谢", "宋", "唐", "许", "韩", "冯", "邓", "曹", "欧阳", "司马"};
const char *const kGivenNames[] = {"伟",   "芳",   "娜",   "敏",   "静",   "强",   "磊",
                                   "军",   "洋",   "勇",   "艳",   "杰",   "建国", "建华",
                                   "国强", "志明", "秀英", "桂英", "晓东", "海涛", "小红",
                                   "文博", "子涵", "德华", "玉兰", "春生", "永刚", "丽娟"};
const char *const kMailHosts[] = {"163.com", "126.com", "sina.com", "sohu.com", "263.net", "public.hz.zj.cn"};
const char *const kRemarks[] = {"已年检", "新入库", "资料待核实", "老客户", "2004年会员", "地址已变更"};
const char *const kMarkets[] = {"全国各地", "东南亚", "欧美", "中东", "日本、韩国", "港澳台地区"};

} // namespace

std::span<const Region> treeRegions()
{
    return kTree;
}
std::span<const Category> categories()
{
    return kCategories;
}
std::span<const Brand> brands()
{
    return kBrands;
}
std::span<const Brand> tradeSyllables()
{
    return kSyllables;
}

std::span<const Road> roads()
{
    return kRoads;
}
std::span<const std::string_view> districtsOf(const Place &place)
{
    // Split once per place; the places are fixed, so their addresses serve as keys.
    static std::mutex guard;
    static std::map<const Place *, std::vector<std::string_view>> split;
    const std::lock_guard lock(guard);
    auto [it, added] = split.try_emplace(&place);
    if (added) {
        const std::string_view all = place.districts;
        for (std::size_t from = 0; from < all.size();) {
            const std::size_t blank = std::min(all.find(' ', from), all.size());
            if (blank > from)
                it->second.push_back(all.substr(from, blank - from));
            from = blank + 1;
        }
    }
    return it->second;
}
std::span<const char *const> companySuffixes()
{
    return kSuffixes;
}
std::span<const char *const> surnames()
{
    return kSurnames;
}
std::span<const char *const> givenNames()
{
    return kGivenNames;
}
std::span<const char *const> mailHosts()
{
    return kMailHosts;
}
std::span<const char *const> remarks()
{
    return kRemarks;
}
std::span<const char *const> markets()
{
    return kMarkets;
}

} // namespace tools::words
