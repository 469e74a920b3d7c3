<?php
// The members table, as a class whose methods never name the connection.
class MemberStore
{
    public function count()
    {
        return (int) mysql_result(run_query("SELECT COUNT(*) FROM members"), 0);
    }

    public function find($id)
    {
        $result = run_query("SELECT `id`, `name`, `email`, `joined` FROM `members` WHERE `id` = " . (int) $id);
        if (mysql_num_rows($result) == 0) {
            return null;
        }
        return mysql_fetch_object($result);
    }

    // Adds a member; returns the new id, or false if the e-mail address is
    // already a member's.
    public function add($name, $email, $boat)
    {
        $sql = "INSERT INTO members (name, email, boat_id, joined) VALUES ("
            . quoted($name) . ", " . quoted($email) . ", " . (int) $boat . ", CURRENT_DATE)";
        if (!mysql_query($sql)) {
            if (mysql_errno() == 1062) {
                return false;
            }
            die('Could not add the member: ' . mysql_error());
        }
        return mysql_insert_id();
    }

    // Gives the member a new name; returns how many rows changed.
    public function rename($id, $name)
    {
        run_query("UPDATE `members` SET `name` = " . quoted($name) . " WHERE `id` = " . (int) $id . " LIMIT 1");
        return mysql_affected_rows();
    }

    public function page($first, $count)
    {
        $result = run_query("SELECT m.id, m.name, IFNULL(b.name, 'no boat') AS boat FROM `members` m"
            . " LEFT JOIN `boats` b ON b.id = m.boat_id ORDER BY m.name"
            . " LIMIT " . (int) $first . ", " . (int) $count);
        $members = array();
        while ($row = mysql_fetch_array($result, MYSQL_ASSOC)) {
            $members[] = $row;
        }
        return $members;
    }
}
?>
