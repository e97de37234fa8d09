// LET, LAMBDA and the functions that take a LAMBDA (MAP, REDUCE, SCAN, BYROW, BYCOL,
// MAKEARRAY, ISOMITTED), computed in a cell of the workbook; the names they bind as files
// store them; and the limits that keep a runaway LAMBDA from hanging or overflowing.
#include <string>

#include "calc/file_formula.h"
#include "workbook_eval.h"

namespace calc::testing {
namespace {

// A1:C2 hold 1..6 by rows, A3 is empty, D1 text, X1 a number that a name "x1" must not read.
Book lambdaData() {
  return Book{{"A1", 1.0}, {"B1", 2.0}, {"C1", 3.0}, {"A2", 4.0}, {"B2", 5.0},
              {"C2", 6.0}, {"D1", "day"}, {"X1", 100.0}, {"E5", 7.0}};
}

class Lambda : public ::testing::TestWithParam<Case> {};

TEST_P(Lambda, GivesExcelsResult) {
  Book book = lambdaData();
  EXPECT_TRUE(sameValue(GetParam().expected, book.eval(GetParam().formula))) << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(Let, Lambda, ::testing::Values(
    Case{"LET(a,2,b,a*5,a+b)", 12.0},                       // each value sees the names before it
    Case{"LET(x,8,LET(x,2,x+x)*x)", 32.0},                   // the inner name hides the outer
    Case{"LET(x1,5,x1*2)", 10.0},                            // a name, not the cell X1
    Case{"x1+LET(x1,5,x1)", 105.0},                          // outside its scope it is the cell
    Case{"LET(r,A1:C1,SUM(r)+ROWS(r))", 7.0},                // a range stays a range
    Case{"LET(c,B2,ROW(c)*10+COLUMN(c))", 22.0},             // so does one cell
    Case{"LET(t,D1,t&\"s\")", "days"},
    Case{"LET(e,1/0,5)", 5.0},                               // an unused error does not spread
    Case{"LET(e,1/0,e+1)", ErrorCode::Div0},
    Case{"y+LET(y,1,y)", ErrorCode::Name},                   // an unbound name
    Case{"_xlfn.LET(_xlpm.a,2,_xlpm.a*3)", 6.0},             // as files store it
    Case{"LET(A,3,a*A)", 9.0},                               // names ignore case
    Case{"SUMPRODUCT(LET(r,A1:C1,r*2))", 12.0}));            // as an array where its caller wants one

INSTANTIATE_TEST_SUITE_P(Lambdas, Lambda, ::testing::Values(
    Case{"LAMBDA(x,x+1)(5)", 6.0},
    Case{"_xlfn.LAMBDA(_xlpm.x, _xlpm.x+1)(5)", 6.0},
    Case{"LAMBDA(x,y,x-y)(10,3)", 7.0},
    Case{"LAMBDA(x,y,x-y)(10)", ErrorCode::Value},           // a required argument left out
    Case{"LAMBDA(x,x)(1,2)", ErrorCode::Value},              // one too many
    Case{"LAMBDA(x,y,y)(1,)", 0.0},                          // given empty: it reads as 0
    Case{"LAMBDA(x,x+1)", ErrorCode::Calc},                  // a LAMBDA is no cell value
    Case{"LAMBDA(x,x+1)+1", ErrorCode::Value},
    Case{"LET(g,LAMBDA(x,x)&\"\",g(1))", ErrorCode::Value},   // computed from one, no LAMBDA
    Case{"LAMBDA(a,LAMBDA(b,a*10+b))(1)(2)", 12.0},          // returned, it keeps a's value
    Case{"LET(k,3,f,LAMBDA(x,x*k),k+f(2))", 9.0},            // reads the name it was made beside
    Case{"LAMBDA(f,x,f(f(x)))(LAMBDA(y,y*3),2)", 18.0},      // a LAMBDA as an argument
    Case{"LET(area,LAMBDA(w,h,w*h),area(A2,C1))", 12.0},
    Case{"LET(f,5,f(1))", ErrorCode::Value},                 // calling what is no LAMBDA
    Case{"LET(sum,4,SUM(sum,2))", 6.0},                      // as typed, SUM( is the function
    Case{"LET(_xlpm.abs,LAMBDA(v,v*2),_xlpm.abs(-3))", -6.0},  // as a file writes the name, the LAMBDA
    Case{"SUM(MAP(A1:C1,LAMBDA(v,MAP(v,LAMBDA(w,w*v)))))", 14.0},  // a LAMBDA made again per element
    Case{"LAMBDA(c,ROW(c))(B2)", 2.0}));                     // an argument stays a reference

INSTANTIATE_TEST_SUITE_P(Omitted, Lambda, ::testing::Values(
    Case{"LAMBDA(a,[b],IF(ISOMITTED(b),a/2,a*b))(12)", 6.0},
    Case{"LAMBDA(a,[b],IF(ISOMITTED(b),a/2,a*b))(12,3)", 36.0},
    Case{"_xlfn.LAMBDA(_xlpm.a,_xlop.b,IF(_xlfn.ISOMITTED(_xlpm.b),1,2))(1)", 1.0},
    Case{"LAMBDA(a,b,ISOMITTED(b))(1,)", true},
    Case{"LAMBDA(a,b,ISOMITTED(a))(1,)", false},
    Case{"ISOMITTED(A3)", false}));                          // an empty cell is not left out

INSTANTIATE_TEST_SUITE_P(Helpers, Lambda, ::testing::Values(
    Case{"MAP(A1:C2,LAMBDA(v,v*10))", 10.0},                 // a cell shows the top-left
    Case{"SUM(MAP(A1:C2,LAMBDA(v,v*10)))", 210.0},
    Case{"INDEX(MAP(A1:C2,A1:C2,LAMBDA(a,b,a*b)),2,3)", 36.0},
    Case{"SUM(MAP(A1:A3,LAMBDA(c,ROW(c))))", 6.0},           // each element a reference
    Case{"SUM(MAP(A51:A53,LAMBDA(c,ROW(c))))", 156.0},       // beyond the data, still three cells
    Case{"ROWS(MAP(A:A,LAMBDA(c,1)))", 1000.0},  // a whole column stops at the used extent (Z1000)
    Case{"INDEX(MAP(A2:A3,LAMBDA(c,ISBLANK(c))),2,1)", true},
    Case{"MAP(A1:C2,LAMBDA(a,b,a))", ErrorCode::Value},      // one array, two parameters
    Case{"MAP(A1:C2,5)", ErrorCode::Value},
    Case{"REDUCE(0,A1:C2,LAMBDA(acc,v,acc+v))", 21.0},
    Case{"REDUCE(,A1:C1,LAMBDA(acc,v,IF(ISOMITTED(acc),v,acc*v)))", 6.0},
    Case{"REDUCE(1,{2,3},LAMBDA(a,b,a))", 1.0},
    Case{"INDEX(SCAN(0,A1:C2,LAMBDA(acc,v,acc+v)),2,3)", 21.0},
    Case{"INDEX(SCAN(\"\",{\"a\",\"b\"},LAMBDA(acc,v,acc&v)),1,2)", "ab"},
    Case{"INDEX(BYROW(A1:C2,LAMBDA(r,SUM(r))),2,1)", 15.0},
    Case{"ROWS(BYROW(A1:C2,LAMBDA(r,SUM(r))))", 2.0},
    Case{"INDEX(BYCOL({1,2;3,4},LAMBDA(c,MAX(c))),1,2)", 4.0},
    Case{"COLUMNS(BYCOL(A1:C2,LAMBDA(c,SUM(c))))", 3.0},
    Case{"BYROW(A1:C2,LAMBDA(r,r))", ErrorCode::Calc},       // a row is no single value
    Case{"SUM(MAKEARRAY(3,4,LAMBDA(r,c,r*c)))", 60.0},
    Case{"INDEX(MAKEARRAY(2.9,3,LAMBDA(r,c,r&c)),2,3)", "23"},  // sizes are truncated
    Case{"MAKEARRAY(0,3,LAMBDA(r,c,1))", ErrorCode::Value},
    Case{"MAKEARRAY(\"x\",3,LAMBDA(r,c,1))", ErrorCode::Value},
    Case{"MAKEARRAY(1/0,3,LAMBDA(r,c,1))", ErrorCode::Div0},
    Case{"MAKEARRAY(2,2,LAMBDA(r,1))", ErrorCode::Value}));

// A LAMBDA may call itself when it is handed itself; IF in its body runs only the branch taken.
INSTANTIATE_TEST_SUITE_P(Recursion, Lambda, ::testing::Values(
    Case{"LET(f,LAMBDA(self,n,IF(n<=1,1,n*self(self,n-1))),f(f,5))", 120.0},
    Case{"LET(f,LAMBDA(self,n,IF(n<2,n,self(self,n-1)+self(self,n-2))),f(f,15))", 610.0},
    Case{"LET(f,LAMBDA(self,c,IF(c,c*7,self(self,c))),f(f,A1)+f(f,A1))", 14.0},  // a cell as the condition
    Case{"LET(f,LAMBDA(self,n,self(self,n+1)),f(f,1))", ErrorCode::Num},   // no end
    Case{"LET(f,LAMBDA(g,n,SUM(MAP({1,2},LAMBDA(v,g(g,n+v))))),f(f,1))", ErrorCode::Num},  // through MAP
    // Two calls at every level: the limit stops the whole tree, not each branch on its own.
    Case{"LET(f,LAMBDA(self,n,self(self,n+1)+self(self,n+2)),f(f,1))", ErrorCode::Num},
    Case{"MAKEARRAY(100000,100000,LAMBDA(r,c,1))", ErrorCode::Num},        // too large an array
    Case{"REDUCE(0,A2:XFD1048575,LAMBDA(a,v,a+1))", ErrorCode::Num},             // too large a grid to walk
    Case{"BYROW(A2:Z1048575,LAMBDA(r,1))", ErrorCode::Num}));

// Excel refuses these as it reads them.
TEST(LambdaParsing, RefusesMalformedBindings) {
  for (const char* text : {"LET(x,1)", "LET(1,2,3)", "LET(x)", "LAMBDA(a,[b],c,a)(1)", "LAMBDA(x,[1],x)(1)",
                           "LET(TRUE,1,2)", "LET(x,,x)"})
    EXPECT_TRUE(std::holds_alternative<ParseError>(parseFormula(text))) << text;
}

TEST(LambdaFileForm, BoundNamesGetTheirPrefix) {
  EXPECT_EQ(fileFormula("LET(a,2,a*3)"), "_xlfn.LET(_xlpm.a,2,_xlpm.a*3)");
  EXPECT_EQ(fileFormula("LAMBDA(x, x+1)(5)"), "_xlfn.LAMBDA(_xlpm.x, _xlpm.x+1)(5)");
  EXPECT_EQ(fileFormula("x+LET(x,1,x)"), "x+_xlfn.LET(_xlpm.x,1,_xlpm.x)") << "outside its scope x stays";
  EXPECT_EQ(fileFormula("LET(area,LAMBDA(w,h,w*h),area(D1,E1))"),
            "_xlfn.LET(_xlpm.area,_xlfn.LAMBDA(_xlpm.w,_xlpm.h,_xlpm.w*_xlpm.h),_xlpm.area(D1,E1))");
  EXPECT_EQ(fileFormula("LAMBDA(a,[b],IF(ISOMITTED(b),a,b))(1)"),
            "_xlfn.LAMBDA(_xlpm.a,_xlop.b,IF(_xlfn.ISOMITTED(_xlpm.b),_xlpm.a,_xlpm.b))(1)");
  EXPECT_EQ(fileFormula("MAP(A1:A3,LAMBDA(v,v*\"LET(v\"))"),
            "_xlfn.MAP(A1:A3,_xlfn.LAMBDA(_xlpm.v,_xlpm.v*\"LET(v\"))") << "text stays as written";
  EXPECT_EQ(fileFormula("LET(x1,A1,x1*2)"), "_xlfn.LET(_xlpm.x1,A1,_xlpm.x1*2)");
}

TEST(LambdaFileForm, FileTextStaysAsItIs) {
  for (const char* same : {"_xlfn.LET(_xlpm.a,2,_xlpm.a*3)", "_xlfn.LAMBDA(_xlpm.a,_xlop.b,_xlpm.a)(1)",
                           "LETTER+1", "SUM(\"LAMBDA(\")"})
    EXPECT_EQ(fileFormula(same), same);
  EXPECT_EQ(fileFormula("LET(x,1"), "_xlfn.LET(x,1") << "a text that does not parse keeps its names";
}

TEST(LambdaFileForm, BothFormsComputeTheSame) {
  Book book = lambdaData();
  for (const char* text : {"LET(x,A1,y,34,x+y)", "LAMBDA(a,[b],IF(ISOMITTED(b),a/2,a*b))(12)",
                           "REDUCE(0,A1:C2,LAMBDA(x,y,SQRT(x*x+y*y)))"}) {
    const Value plain = book.eval(text);
    EXPECT_TRUE(sameValue(plain, book.eval(fileFormula(text)))) << text;
  }
}

// A filled-down formula: bound names never move, the references around and inside them do.
TEST(LambdaFillDown, NamesStayAndReferencesMove) {
  const auto moved = [](std::string_view text, std::int32_t rows) {
    std::string out;
    auto parsed = parseFormula(text);
    EXPECT_TRUE(std::holds_alternative<Formula>(parsed)) << text;
    EXPECT_TRUE(movedFormulaText(std::get<Formula>(parsed), text, rows, out)) << text;
    return out;
  };
  EXPECT_EQ(moved("LET(x1,A1,x1*B2)", 1), "LET(x1,A2,x1*B3)");
  EXPECT_EQ(moved("MAP(A1:A2,LAMBDA(ab12,ab12+B1))", 2), "MAP(A3:A4,LAMBDA(ab12,ab12+B3))");
}

// One compiled formula serves a filled-down column: moved, it computes what its moved text does,
// inside LAMBDA bodies too.
TEST(LambdaFillDown, ComputesAsTheMovedTextDoes) {
  FixedCells cells;
  for (int row = 1; row <= 20; ++row) {
    const std::string r = std::to_string(row);
    cells.set("A" + r, row * 1.5 - 7);
    cells.set("B" + r, row % 4 == 0 ? Value("text") : Value(row * 0.5));
  }
  cells.extentRows = 20;
  cells.extentColumns = 2;
  for (const char* text : {"LET(x1,A2,x1*2+B2)", "SUM(MAP(A2:A4,LAMBDA(v,v*A2)))", "LAMBDA(a,[b],IF(ISOMITTED(b),a,b))(A3)",
                           "REDUCE(0,A2:A6,LAMBDA(s,v,IF(v>0,s+v,s-B2)))", "SUM(MAKEARRAY(2,2,LAMBDA(r,c,INDEX(A2:A5,r+c))))"}) {
    auto parsed = parseFormula(text);
    ASSERT_TRUE(std::holds_alternative<Formula>(parsed)) << text;
    const Formula& formula = std::get<Formula>(parsed);
    for (std::int32_t rows = -1; rows <= 6; ++rows) {
      std::string movedText;
      ASSERT_TRUE(movedFormulaText(formula, text, rows, movedText)) << text << " by " << rows;
      EXPECT_EQ(evaluate(formula, cells, rows), eval(movedText, cells)) << text << " by " << rows;
    }
  }
}

}  // namespace
}  // namespace calc::testing
