<?php
/* mysql_query($q) ?> still a comment */
// mysql_close($l) ?> in a line comment
# mysql_close($l) converted
/*/ not closed by the slash after the opener */
$a = 1; // trailing$b = 2;
?>
<!-- <?php echo 1 ?> -->
