<?phpmysql_query($q); $a	=
1;éÿ $bÃ© = 2; ?>